#include "window.h"

#include "native.h"
#include "page.h"

#include <emscripten/emscripten.h>

namespace views::web {

Window::Window(platform::Form &form)
    : m_form(form)
    , m_id(qm_window(this, form.caption().data(), int(form.caption().size()),
          platform::twipsToPixels(form.clientWidth(), dpi()),
          platform::twipsToPixels(form.clientHeight(), dpi()), form.font().name.data(),
          int(form.font().name.size()), form.font().points))
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

void Window::printed(std::u16string_view lines)
{
    qm_printed(m_id, lines.data(), int(lines.size()));
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

EMSCRIPTEN_KEEPALIVE void qm_idle(void *native)
{
    if (platform::Runtime *runtime = runtimeOf(native))
        runtime->idle(*nativeAt(native));
}

EMSCRIPTEN_KEEPALIVE int qm_enter(void *native)
{
    platform::Runtime *runtime = runtimeOf(native);
    return runtime && runtime->enter(*nativeAt(native));
}

EMSCRIPTEN_KEEPALIVE int qm_tab(void *window, int backward)
{
    return runtimeOfWindow(window).tab(backward != 0);
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
