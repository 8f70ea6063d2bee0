#pragma once

// A view with no toolkit: its native controls only record what they are told to show, its window is a size,
// its timers are intervals and its posted calls wait for settle(). The exam runs through it with fake
// services and fake time, so the core's tests drive the whole program without any toolkit.

#include "platform/runtime/view.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NullWindow;

class NullNative final : public platform::NativeControl {
public:
    NullNative(platform::Control::Kind kind, NullWindow &window);
    ~NullNative() override;

    void setBounds(platform::PixelRect rect) override { bounds = rect; }
    void setVisible(bool on) override { visible = on; }
    void setEnabled(bool on) override { enabled = on; }
    void setText(std::u16string_view shown) override
    {
        text = shown;
        selected = false;
    }
    void setColours(const std::optional<platform::OwnColours> &shown) override
    {
        colours = shown;
        ++colourChanges;
    }
    // How a text is drawn shows nowhere here.
    void setAlignment(platform::Label::Alignment) override { }
    void setStyle(const platform::TextStyle &) override { }
    void setItems(const std::vector<std::u16string> &shown) override { items = shown; }
    void setAccessibleName(std::u16string_view shown) override { name = shown; }
    void setAccessibleDescription(std::u16string_view shown) override { description = shown; }
    void announce(std::u16string_view said) override;
    void stackUnder(platform::NativeControl *above) override;
    void focus(bool selectAll) override;
    bool busy() const override { return composing || menuOpen; }

    platform::PixelRect bounds;
    bool visible = false;
    bool enabled = true;
    std::u16string text;
    bool selected = false; // the whole text, as focus() leaves it
    std::optional<platform::OwnColours> colours;
    int colourChanges = 0;
    std::vector<std::u16string> items;
    std::u16string name;
    std::u16string description;
    bool composing = false;
    bool menuOpen = false;

private:
    NullWindow &m_window;
};

class NullWindow final : public platform::Toolkit {
public:
    explicit NullWindow(platform::Form &form);
    ~NullWindow();

    platform::Runtime &runtime() const { return *m_runtime; }
    // Runs what the runtime posted, as a toolkit's event loop does once the current event is over.
    void settle();
    // The native at a point of the client area, topmost first.
    NullNative *nativeAt(int x, int y) const;

    void setLook(const platform::WindowLook &look) override
    {
        title = look.title;
        client = look.clientSize;
    }
    std::unique_ptr<platform::NativeControl> make(
        platform::Control::Kind kind, platform::PixelRect bounds) override;
    platform::PixelSize clientSize() const override { return client; }
    int dpi() const override { return 96; }
    void post() override { posted = true; }
    void setTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
    void printed(const std::vector<std::u16string> &, std::u16string_view joined) override
    {
        description = joined;
    }
    bool movesFocusOnTab() const override { return false; }

    std::u16string title;
    platform::PixelSize client;
    bool shown = false;
    bool posted = false;
    std::map<int, int> timers; // intervals by id; 0 when stopped
    std::u16string description;
    std::vector<std::u16string> announced; // what screen readers were told, oldest first
    NullNative *focus = nullptr;
    std::vector<NullNative *> stack; // bottom first

private:
    friend class NullNative;
    std::unique_ptr<platform::Runtime> m_runtime; // last: it makes natives of this window
};

class Driver;

// The window of a driver that makeDriver() made here.
NullWindow &nullWindowOf(Driver &driver);

// The null native that shows control, or nullptr.
inline NullNative *nullNativeOf(const platform::Control &control)
{
    return static_cast<NullNative *>(platform::Runtime::nativeOf(control));
}
