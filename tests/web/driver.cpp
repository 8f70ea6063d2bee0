#include "driver.h"
#include "testing.h"
#include "views/web/native.h"
#include "views/web/window.h"

#include "views/web/library.h"

#include <cmath>
#include <string>

// The browser view's driver: the real page's elements in a browser, driven by their own methods and by the
// events a user's clicks and keys send them, and read back from the DOM, its layout and its computed styles.
// The run is one call of the page's, in which the browser's own loop never turns: what it would do once an
// event is over (the posted call, a resize's observer, a timer's interval, the next frame) the driver does
// where a user would wait for it, by calling the very callbacks the page gave the browser.

extern "C" {
// Each takes the page's id of an element or a window (see driver.js).
void web_click(int id);
int web_enabled(int id);
int web_visible(int id);
void web_focus(int id);
void web_type(int id, const char16_t *pointer, int length);
void web_press(int window, int enter, int shift, int control, int alt, int meta);
void web_activate(int window);
void web_painted(int window);
int web_tick(int window, int timer);
void web_resize(int window, int width, int height);
void web_settle(int window);
int web_read(int id, const char16_t *name, int nameLength, int index, char16_t *into, int capacity);
int web_background(int id, int channel);
double web_rect(int id, int side);
void *web_focused(int window);
void *web_at(int window, int x, int y);
int web_windowVisible(int window);
int web_elements(int window);
}

namespace {

const platform::Control *controlOf(void *native)
{
    return native ? static_cast<views::web::Native *>(native)->control() : nullptr;
}

// A text the page writes into a buffer of ours, named as web_read names it; nullopt when there is no such
// item.
std::optional<std::u16string> read(int id, std::u16string_view what, int index = 0)
{
    std::u16string text(4096, u'\0');
    const int length = web_read(id, what.data(), int(what.size()), index, text.data(), int(text.size()));
    if (length < 0)
        return std::nullopt;
    text.resize(size_t(length));
    return text;
}

class WebDriver final : public Driver {
public:
    explicit WebDriver(platform::Form &form)
        : m_window(form)
    {
    }

    views::web::Window &window() { return m_window; }

    void show() override
    {
        m_window.show();
        web_painted(m_window.id()); // the frame that shows it
        settle();
    }

    void click(const platform::CommandButton &button) override
    {
        if (const int element = views::web::elementOf(button))
            web_click(element);
        settle();
    }

    void type(const platform::TextBox &box, std::u16string_view text) override
    {
        const int element = views::web::elementOf(box);
        REQUIRE(element);
        if (!web_enabled(element))
            return; // the keyboard never reaches a locked box
        web_type(element, text.data(), int(text.size()));
        settle();
    }

    void press(Key key, platform::Modifiers modifiers) override
    {
        web_press(m_window.id(), key == Key::Enter, modifiers.shift || key == Key::BackTab, modifiers.control,
            modifiers.alt, modifiers.meta);
        settle();
    }

    void activate() override
    {
        web_activate(m_window.id());
        settle();
    }

    void focus(const platform::Control &control) override
    {
        if (const int element = views::web::elementOf(control))
            web_focus(element);
        settle();
    }

    bool tick() override
    {
        const bool runs = web_tick(m_window.id(), platform::Runtime::FormTimerBase);
        settle();
        return runs;
    }

    void resize(int width, int height) override
    {
        web_resize(m_window.id(), width, height);
        settle();
    }

    void settle() override { web_settle(m_window.id()); }

    bool shown(const platform::Control &control) override { return views::web::elementOf(control) != 0; }
    std::u16string text(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        return element ? *read(element, u"text") : std::u16string();
    }
    bool enabled(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        return element && web_enabled(element);
    }
    bool visible(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        return element && web_visible(element);
    }
    platform::Colour background(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        if (!element)
            return 0;
        // The channels in CSS's order, which is Rgb's.
        return platform::colourOf(
            {web_background(element, 0), web_background(element, 1), web_background(element, 2)});
    }
    platform::PixelRect rect(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        if (!element)
            return {};
        const auto side = [element](int which) { return int(std::lround(web_rect(element, which))); };
        return {side(0), side(1), side(2), side(3)};
    }
    std::vector<std::u16string> items(const platform::ListBox &list) override
    {
        std::vector<std::u16string> texts;
        if (const int element = views::web::elementOf(list))
            while (std::optional<std::u16string> item = read(element, u"item", int(texts.size())))
                texts.push_back(std::move(*item));
        return texts;
    }
    std::optional<std::u16string> accessibleName(const platform::Control &control) override
    {
        return read(views::web::elementOf(control), u"name");
    }
    std::optional<std::u16string> accessibleDescription(const platform::Control &control) override
    {
        return read(views::web::elementOf(control), u"description");
    }
    std::optional<std::u16string> announced() override { return read(m_window.id(), u"announced"); }
    std::u16string selectedText(const platform::TextBox &box) override
    {
        const int element = views::web::elementOf(box);
        return element ? *read(element, u"selected") : std::u16string();
    }
    const platform::Control *focused() override { return controlOf(web_focused(m_window.id())); }
    const platform::Control *controlAt(int x, int y) override
    {
        return controlOf(web_at(m_window.id(), x, y));
    }
    std::u16string title() override { return *read(m_window.id(), u"title"); }
    bool windowVisible() override { return web_windowVisible(m_window.id()); }
    platform::PixelSize clientSize() override
    {
        return {qm_clientWidth(m_window.id()), qm_clientHeight(m_window.id())};
    }
    std::optional<std::u16string> description() override { return read(m_window.id(), u"printed"); }
    int nativeControls() override { return web_elements(m_window.id()); }
    int dpi() override { return 96; }

private:
    views::web::Window m_window;
};

} // namespace

std::unique_ptr<Driver> makeDriver(platform::Form &form)
{
    return std::make_unique<WebDriver>(form);
}
