#pragma once

#include "platform/runtime/view.h"

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

    platform::Runtime &runtime() const { return *m_runtime; }
    // The page's id of the window.
    int id() const { return m_id; }

    // Runs the form's load, then shows the window: a message of the load comes before the window.
    void show();

    int dpi() const override { return 96; }

private:
    // Toolkit
    void setLook(const platform::WindowLook &look) override;
    std::unique_ptr<platform::NativeControl> make(
        platform::Control::Kind kind, platform::PixelRect bounds) override;
    platform::PixelSize clientSize() const override;
    void post() override;
    void setTimer(int id, int milliseconds) override;
    void printed(const std::vector<std::u16string> &lines, std::u16string_view description) override;
    bool movesFocusOnTab() const override { return false; }

    int m_id;
    std::unique_ptr<platform::Runtime> m_runtime; // last: it makes elements of this window
};

// A font's faces as a CSS font family, ending in the generic serif.
std::u16string cssFamily(const platform::Font &font);

} // namespace views::web
