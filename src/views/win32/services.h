#pragma once

#include "platform/view.h"

namespace views::win32 {

// What the program asks of the system that takes its user interface and its shell: a message box, the
// browser, the beep.
class Services final : public platform::ToolkitServices {
public:
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    bool openUrl(std::u16string_view address) override;
    void beep() override;
};

} // namespace views::win32
