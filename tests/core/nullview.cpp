#include "nullview.h"

#include "driver.h"

#include <algorithm>
#include <utility>

NullNative::NullNative(platform::Control::Kind kind, NullWindow &window)
    : NativeControl(kind)
    , m_window(window)
{
    m_window.stack.push_back(this);
}

NullNative::~NullNative()
{
    std::erase(m_window.stack, this);
    if (m_window.focus == this)
        m_window.focus = nullptr;
}

void NullNative::stackUnder(platform::NativeControl *above)
{
    std::erase(m_window.stack, this);
    const auto at = std::find(m_window.stack.begin(), m_window.stack.end(), above);
    m_window.stack.insert(at, this);
}

void NullNative::focus(bool selectAll)
{
    m_window.focus = this;
    if (selectAll)
        selected = true;
}

void NullNative::announce(std::u16string_view said)
{
    m_window.announced.emplace_back(said);
}

NullWindow::NullWindow(platform::Form &form)
    : m_runtime(std::make_unique<platform::Runtime>(form, *this))
{
}

NullWindow::~NullWindow()
{
    m_runtime.reset();
}

void NullWindow::settle()
{
    while (std::exchange(posted, false))
        m_runtime->afterEvent();
}

std::unique_ptr<platform::NativeControl> NullWindow::make(
    platform::Control::Kind kind, platform::PixelRect bounds)
{
    auto native = std::make_unique<NullNative>(kind, *this);
    native->bounds = bounds;
    return native;
}

NullNative *NullWindow::nativeAt(int x, int y) const
{
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        platform::PixelRect r = (*it)->bounds;
        if ((*it)->visible && x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
            return *it;
    }
    return nullptr;
}

namespace {

// The null view's user: acts through the runtime's calls as a toolkit's events would make them, and reads
// what the natives were told to show.
class NullDriver final : public Driver {
public:
    explicit NullDriver(platform::Form &form)
        : m_window(form)
    {
    }

    void show() override
    {
        m_window.runtime().show();
        m_window.shown = true;
        m_window.runtime().painted();
        m_window.settle();
    }

    void click(const platform::CommandButton &button) override
    {
        if (NullNative *native = nativeOf(button); native && native->visible && native->enabled)
            m_window.runtime().clicked(*native);
        m_window.settle();
    }

    void type(const platform::TextBox &box, std::u16string_view text) override
    {
        NullNative *native = nativeOf(box);
        if (!native || !native->enabled)
            return;
        focusOn(*native);
        native->text = text;
        m_window.runtime().typed(*native, text);
        m_window.settle();
    }

    void press(Key key, platform::Modifiers modifiers) override
    {
        modifiers.shift = modifiers.shift || key == Key::BackTab;
        m_window.runtime().key(
            m_window.focus, key == Key::Enter ? platform::Key::Enter : platform::Key::Tab, modifiers);
        m_window.settle();
    }

    void activate() override
    {
        m_window.runtime().activated();
        m_window.settle();
    }

    void focus(const platform::Control &control) override
    {
        if (NullNative *native = nativeOf(control))
            focusOn(*native);
        m_window.settle();
    }

    bool tick() override
    {
        if (m_window.timers[platform::Runtime::FormTimerBase] <= 0)
            return false;
        m_window.runtime().timerElapsed(platform::Runtime::FormTimerBase);
        m_window.settle();
        return true;
    }

    void resize(int width, int height) override
    {
        m_window.client = {width, height};
        m_window.runtime().resized();
        m_window.settle();
    }

    void settle() override { m_window.settle(); }

    bool shown(const platform::Control &control) override { return nativeOf(control) != nullptr; }
    std::u16string text(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native ? native->text : std::u16string();
    }
    bool enabled(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native && native->enabled;
    }
    bool visible(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native && native->visible && m_window.shown;
    }
    platform::Colour background(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native && native->colours ? native->colours->background : 0;
    }
    platform::PixelRect rect(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native ? native->bounds : platform::PixelRect{};
    }
    std::vector<std::u16string> items(const platform::ListBox &list) override
    {
        const NullNative *native = nativeOf(list);
        return native ? native->items : std::vector<std::u16string>{};
    }
    std::optional<std::u16string> accessibleName(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native ? native->name : std::u16string();
    }
    std::optional<std::u16string> accessibleDescription(const platform::Control &control) override
    {
        const NullNative *native = nativeOf(control);
        return native ? native->description : std::u16string();
    }
    std::optional<std::u16string> announced() override
    {
        return m_window.announced.empty() ? std::u16string() : m_window.announced.back();
    }
    std::u16string selectedText(const platform::TextBox &box) override
    {
        const NullNative *native = nativeOf(box);
        return native && native->selected ? native->text : std::u16string();
    }
    const platform::Control *focused() override
    {
        return m_window.focus ? m_window.focus->control() : nullptr;
    }
    const platform::Control *controlAt(int x, int y) override
    {
        const NullNative *native = m_window.nativeAt(x, y);
        return native ? native->control() : nullptr;
    }
    std::u16string title() override { return m_window.title; }
    bool windowVisible() override { return m_window.shown; }
    NullWindow &window() { return m_window; }
    platform::PixelSize clientSize() override { return m_window.client; }
    std::optional<std::u16string> description() override { return m_window.description; }
    int nativeControls() override { return int(m_window.stack.size()); }
    int dpi() override { return 96; }

private:
    static NullNative *nativeOf(const platform::Control &control) { return nullNativeOf(control); }

    void focusOn(NullNative &native)
    {
        m_window.focus = &native;
        m_window.runtime().focused(native);
    }

    NullWindow m_window;
};

} // namespace

std::unique_ptr<Driver> makeDriver(platform::Form &form)
{
    return std::make_unique<NullDriver>(form);
}

NullWindow &nullWindowOf(Driver &driver)
{
    return static_cast<NullDriver &>(driver).window();
}
