#pragma once

#include "platform/view.h"

namespace views::web {

// What the program asks of the system that takes the page: its alert, a new tab, a tone.
class Services final : public platform::ToolkitServices {
public:
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    bool openUrl(std::u16string_view address) override;
    void beep() override;
};

} // namespace views::web
