#pragma once

#include "platform/view.h"

namespace views::qt {

// What the program asks of the system that takes Qt: its message box, its desktop services and its beep.
class Services final : public platform::ToolkitServices {
public:
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    bool openUrl(std::u16string_view address) override;
    void beep() override;
};

} // namespace views::qt
