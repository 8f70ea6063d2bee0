#include "window.h"

#include "library.h"
#include "native.h"

#include <emscripten/emscripten.h>

namespace views::web {

std::u16string cssFamily(const platform::Font &font)
{
    std::u16string family;
    for (const auto &face : platform::fontFaces(font))
        family += u'"' + face + u"\", ";
    return family + u"serif";
}

Window::Window(platform::Form &form)
    : m_id(qm_window(this))
{
    m_runtime = std::make_unique<platform::Runtime>(form, static_cast<platform::Toolkit &>(*this));
}

Window::~Window()
{
    m_runtime.reset();
    qm_closeWindow(m_id);
}

void Window::show()
{
    m_runtime->show();
    qm_showWindow(m_id);
}

void Window::setLook(const platform::WindowLook &look)
{
    const std::u16string family = cssFamily(look.font);
    qm_look(m_id, look.title.data(), int(look.title.size()), look.clientSize.width, look.clientSize.height,
        family.data(), int(family.size()), look.font.points);
}

std::unique_ptr<platform::NativeControl> Window::make(
    platform::Control::Kind kind, platform::PixelRect bounds)
{
    auto native = std::make_unique<Native>(kind, *this);
    native->setBounds(bounds);
    return native;
}

platform::PixelSize Window::clientSize() const
{
    return {qm_clientWidth(m_id), qm_clientHeight(m_id)};
}

void Window::post()
{
    qm_post(m_id);
}

void Window::setTimer(int id, int milliseconds)
{
    qm_setTimer(m_id, id, milliseconds);
}

void Window::printed(const std::vector<std::u16string> &, std::u16string_view description)
{
    // The page shows the lines as the description's text, a line each.
    qm_printed(m_id, description.data(), int(description.size()));
}

} // namespace views::web

// The page's events, on the window or the native that the page was given.
namespace {

views::web::Native *nativeAt(void *native)
{
    return static_cast<views::web::Native *>(native);
}

platform::Runtime *runtimeOf(void *native)
{
    return nativeAt(native)->runtime();
}

platform::Runtime &runtimeOfWindow(void *window)
{
    return static_cast<views::web::Window *>(window)->runtime();
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void qm_clicked(void *native)
{
    if (platform::Runtime *runtime = runtimeOf(native))
        runtime->clicked(*nativeAt(native));
}

EMSCRIPTEN_KEEPALIVE void qm_typed(void *native, const char16_t *text, int length)
{
    if (platform::Runtime *runtime = runtimeOf(native))
        runtime->typed(*nativeAt(native), std::u16string_view(text, size_t(length)));
}

EMSCRIPTEN_KEEPALIVE void qm_focused(void *native)
{
    if (platform::Runtime *runtime = runtimeOf(native))
        runtime->focused(*nativeAt(native));
}

EMSCRIPTEN_KEEPALIVE void qm_mayHaveLeft(void *native)
{
    if (platform::Runtime *runtime = runtimeOf(native))
        runtime->mayHaveLeft(*nativeAt(native));
}

EMSCRIPTEN_KEEPALIVE int qm_key(void *window, void *native, int enter, int shift, int ctrl, int alt, int meta)
{
    const platform::Modifiers held{shift != 0, ctrl != 0, alt != 0, meta != 0};
    return runtimeOfWindow(window).key(
        native ? nativeAt(native) : nullptr, enter ? platform::Key::Enter : platform::Key::Tab, held);
}

EMSCRIPTEN_KEEPALIVE void qm_activated(void *window)
{
    runtimeOfWindow(window).activated();
}

EMSCRIPTEN_KEEPALIVE int qm_inkShift(int rows, int inkTop, int inkBottom)
{
    return platform::inkShift(rows, inkTop, inkBottom);
}

EMSCRIPTEN_KEEPALIVE void qm_timer(void *window, int id)
{
    runtimeOfWindow(window).timerElapsed(id);
}

EMSCRIPTEN_KEEPALIVE void qm_afterEvent(void *window)
{
    runtimeOfWindow(window).afterEvent();
}

EMSCRIPTEN_KEEPALIVE void qm_resized(void *window)
{
    runtimeOfWindow(window).resized();
}

EMSCRIPTEN_KEEPALIVE void qm_painted(void *window)
{
    runtimeOfWindow(window).painted();
}
}
