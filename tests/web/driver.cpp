#include "driver.h"
#include "testing.h"
#include "views/web/native.h"
#include "views/web/window.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <string>

// The browser view's driver: the real page's elements in Chromium, driven by their own methods and by the
// events a user's clicks and keys send them, and read back from the DOM, its layout and its computed styles.
// The run is one call of the page's: what a browser does once an event is over (the posted call, a resize's
// observer, the next frame) the driver does where a user would wait for it.

namespace {

// Each takes the page's id of an element (see src/views/web/library.js).
// clang-format off
EM_JS(void, web_click, (int id), { QM.elements.get(id).element.click(); });
EM_JS(int, web_enabled, (int id), {
    var element = QM.elements.get(id).element;
    return element.tagName === 'DIV' ? !element.classList.contains('disabled') : !element.disabled;
});
EM_JS(int, web_visible, (int id), {
    var item = QM.elements.get(id);
    return !item.element.hidden && !QM.windows.get(item.window).div.hidden;
});
EM_JS(void, web_focus, (int id), { QM.elements.get(id).element.focus({preventScroll: true}); });
// Types text over the selection as the keyboard does; Chinese through an input method's composition.
EM_JS(void, web_type, (int id, const char16_t *pointer, int length), {
    var element = QM.elements.get(id).element;
    var text = UTF16ToString(pointer, length * 2);
    element.focus({preventScroll: true});
    element.select();
    var insert = function(part, composing) {
        element.setRangeText(part, element.selectionStart, element.selectionEnd, 'end');
        element.dispatchEvent(new InputEvent('input', {bubbles: true, inputType: part ? 'insertText' : 'deleteContentBackward',
                                                       data: part || null, isComposing: composing}));
    };
    if (!text)
        insert('', false);
    for (var i = 0; i < text.length;) {
        if (text.charCodeAt(i) < 0x80) {
            insert(text[i++], false);
            continue;
        }
        var end = i;
        while (end < text.length && text.charCodeAt(end) >= 0x80)
            ++end;
        var composed = text.substring(i, end);
        element.dispatchEvent(new CompositionEvent('compositionstart', {bubbles: true, data: ''}));
        insert(composed, true);
        element.dispatchEvent(new CompositionEvent('compositionend', {bubbles: true, data: composed}));
        i = end;
    }
});
EM_JS(void, web_press, (int window, int key, int shift), {
    var target = document.activeElement && QM.windows.get(window).div.contains(document.activeElement)
        ? document.activeElement : QM.windows.get(window).div;
    target.dispatchEvent(new KeyboardEvent('keydown', {bubbles: true, cancelable: true, key: key ? 'Enter' : 'Tab',
                                                       shiftKey: !!shift}));
});
EM_JS(void, web_resize, (int window, int width, int height), {
    var style = QM.windows.get(window).div.style;
    style.width = width + 'px';
    style.height = height + 'px';
});
EM_JS(int, web_text, (int id, char16_t *into, int capacity), {
    var element = QM.elements.get(id).element;
    var text = element.tagName === 'INPUT' ? element.value : element.textContent;
    stringToUTF16(text, into, capacity * 2);
    return Math.min(text.length, capacity - 1);
});
EM_JS(int, web_selected, (int id, char16_t *into, int capacity), {
    var element = QM.elements.get(id).element;
    var text = element.value.substring(element.selectionStart, element.selectionEnd);
    stringToUTF16(text, into, capacity * 2);
    return Math.min(text.length, capacity - 1);
});
// What a screen reader is told of the element: its label, else its text.
EM_JS(int, web_name, (int id, char16_t *into, int capacity), {
    var element = QM.elements.get(id).element;
    var text = element.getAttribute('aria-label') || (element.tagName === 'INPUT' ? '' : element.textContent);
    stringToUTF16(text, into, capacity * 2);
    return Math.min(text.length, capacity - 1);
});
EM_JS(int, web_item, (int id, int index, char16_t *into, int capacity), {
    var options = QM.elements.get(id).element.options;
    if (index >= options.length)
        return -1;
    var text = options[index].textContent;
    stringToUTF16(text, into, capacity * 2);
    return Math.min(text.length, capacity - 1);
});
EM_JS(int, web_background, (int id), {
    var parts = getComputedStyle(QM.elements.get(id).element).backgroundColor.match(/\d+/g) || [0, 0, 0];
    return (+parts[0]) | (+parts[1] << 8) | (+parts[2] << 16);
});
// The element's rectangle in the client area: side 0 to 3, left, top, width, height.
EM_JS(double, web_rect, (int id, int side), {
    var item = QM.elements.get(id);
    var form = QM.windows.get(item.window).div;
    var outer = form.getBoundingClientRect();
    var inner = item.element.getBoundingClientRect();
    return [inner.left - outer.left - form.clientLeft, inner.top - outer.top - form.clientTop, inner.width,
            inner.height][side];
});
EM_JS(void *, web_focused, (int window), {
    var item = QM.itemOf(document.activeElement);
    return item && item.window === window ? item.native : 0;
});
EM_JS(void *, web_at, (int window, int x, int y), {
    var form = QM.windows.get(window).div;
    var outer = form.getBoundingClientRect();
    var item = QM.itemOf(document.elementFromPoint(outer.left + form.clientLeft + x, outer.top + form.clientTop + y));
    return item && item.window === window ? item.native : 0;
});
EM_JS(int, web_windowVisible, (int window), { return !QM.windows.get(window).div.hidden; });
EM_JS(int, web_printed, (int window, char16_t *into, int capacity), {
    var text = QM.windows.get(window).printed.textContent;
    stringToUTF16(text, into, capacity * 2);
    return Math.min(text.length, capacity - 1);
});
EM_JS(int, web_elements, (int window), { return QM.windows.get(window).div.children.length - 1; });
// clang-format on

const platform::Control *controlOf(void *native)
{
    return native ? static_cast<views::web::Native *>(native)->control() : nullptr;
}

// A text the page writes into a buffer of ours.
template <class Read> std::u16string read(Read read)
{
    std::u16string text(4096, u'\0');
    text.resize(size_t(std::max(0, read(text.data(), int(text.size())))));
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
        m_window.runtime().painted(); // the frame that shows it
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

    void press(Key key) override
    {
        web_press(m_window.id(), key == Key::Enter, key == Key::BackTab);
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
        if (!qm_timerRunsFor(platform::Runtime::FormTimerBase))
            return false;
        m_window.runtime().timerElapsed(platform::Runtime::FormTimerBase);
        settle();
        return true;
    }

    void resize(int width, int height) override
    {
        web_resize(m_window.id(), width, height);
        m_window.runtime().resized(); // what the resize's observer does before the next frame
        settle();
    }

    void settle() override
    {
        while (qm_runPosted(m_window.id()))
            m_window.runtime().afterEvent();
    }

    bool shown(const platform::Control &control) override { return views::web::elementOf(control) != 0; }
    std::u16string text(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        return element ? read([element](char16_t *into, int capacity) { return web_text(element, into, capacity); })
                       : std::u16string();
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
        return element ? platform::Colour(web_background(element)) : 0;
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
        const int element = views::web::elementOf(list);
        for (int i = 0; element; ++i) {
            std::u16string item(4096, u'\0');
            const int length = web_item(element, i, item.data(), int(item.size()));
            if (length < 0)
                break;
            item.resize(size_t(length));
            texts.push_back(item);
        }
        return texts;
    }
    std::optional<std::u16string> accessibleName(const platform::Control &control) override
    {
        const int element = views::web::elementOf(control);
        return read([element](char16_t *into, int capacity) { return web_name(element, into, capacity); });
    }
    std::u16string selectedText(const platform::TextBox &box) override
    {
        const int element = views::web::elementOf(box);
        return element
            ? read([element](char16_t *into, int capacity) { return web_selected(element, into, capacity); })
            : std::u16string();
    }
    const platform::Control *focused() override { return controlOf(web_focused(m_window.id())); }
    const platform::Control *controlAt(int x, int y) override { return controlOf(web_at(m_window.id(), x, y)); }
    std::u16string title() override { return m_window.form().caption(); }
    bool windowVisible() override { return web_windowVisible(m_window.id()); }
    platform::PixelSize clientSize() override
    {
        return {qm_clientWidth(m_window.id()), qm_clientHeight(m_window.id())};
    }
    std::optional<std::u16string> description() override
    {
        const int id = m_window.id();
        return read([id](char16_t *into, int capacity) { return web_printed(id, into, capacity); });
    }
    int nativeControls() override { return web_elements(m_window.id()); }
    int dpi() override { return 96; }

private:
    bool qm_timerRunsFor(int timer) { return ::qm_timerRuns(m_window.id(), timer) != 0; }

    views::web::Window m_window;
};

} // namespace

std::unique_ptr<Driver> makeDriver(platform::Form &form)
{
    return std::make_unique<WebDriver>(form);
}
