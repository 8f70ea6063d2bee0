#pragma once

#include "platform/view.h"

#include <memory>

namespace views::web {

// A form shown as a part of a page: a box of its client area's size, which the user can resize by its corner
// as a window by its frame, holding the controls as the page's own elements (see platform::Runtime for which
// and when). Twips become CSS pixels at 96 to the inch.
class Window final : private platform::Toolkit {
public:
    explicit Window(platform::Form &form);
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
    ~Window();

    platform::Form &form() const { return m_form; }
    platform::Runtime &runtime() const { return *m_runtime; }
    // The page's id of the window.
    int id() const { return m_id; }

    // Runs the form's load, then shows the window: a message of the load comes before the window.
    void show();

    int dpi() const override { return 96; }

private:
    // Toolkit
    std::unique_ptr<platform::NativeControl> make(
        platform::Control::Kind kind, platform::PixelRect bounds) override;
    platform::PixelSize clientSize() const override;
    void post() override;
    void setTimer(int id, int milliseconds) override;
    void printed(std::u16string_view lines) override;

    platform::Form &m_form;
    int m_id;
    std::unique_ptr<platform::Runtime> m_runtime; // last: it makes elements of this window
};

} // namespace views::web
