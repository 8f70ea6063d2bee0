#pragma once

#include "platform/services.h"

namespace platform::win32 {

// The system's services as Windows gives them.
class SystemServices final : public Services {
public:
    SystemServices() = default;

    std::int32_t tickCount() override;
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    bool startProgram(std::u16string_view commandLine) override;
    bool openUrl(std::u16string_view address) override;
    std::u16string programDirectory() override;
    void beep() override;
};

} // namespace platform::win32
