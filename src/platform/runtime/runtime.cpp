// The runtime's entry points: what a view tells it of its toolkit's events, and what the form tells it.

#include "runtime.h"

#include "keyboard.h"
#include "pixels.h"

#include <algorithm>
#include <utility>

namespace platform {

// RuntimeState: its life and the form's side

RuntimeState::RuntimeState(Runtime &owner, Form &shown, Toolkit &window)
    : runtime(owner)
    , form(shown)
    , toolkit(window)
{
}

RuntimeState::~RuntimeState()
{
    form.setView(nullptr);
    focus = nullptr;
    for (const auto &binding : natives)
        binding->detach();
    // One at a time from the end: a native's toolkit may report on the way (a widget handing on its focus).
    while (!natives.empty()) {
        std::unique_ptr<NativeBinding> gone = std::move(natives.back());
        natives.pop_back();
        gone.reset();
    }
}

void RuntimeState::printed()
{
    toolkit.printed(form.printedLines(), printedDescription(form.printedLines()));
}

void RuntimeState::timerChanged(Timer &timer)
{
    const auto &timers = form.timers();
    const auto found = std::find(timers.begin(), timers.end(), &timer);
    if (found == timers.end())
        return;
    const auto id = size_t(Runtime::FormTimerBase) + size_t(found - timers.begin());
    const int interval = timer.isEnabled() ? timer.interval() : 0;
    if (timerIntervals.size() <= id)
        timerIntervals.resize(id + 1, 0);
    // Told again only when it changes: the toolkit restarts a timer it is told of.
    if (std::exchange(timerIntervals[id], interval) != interval)
        toolkit.setTimer(int(id), interval);
}

void RuntimeState::delivered()
{
    showHeldChanges();
    sync();
}

// Runtime

Runtime::Runtime(Form &form, Toolkit &toolkit)
    : m_state(std::make_unique<RuntimeState>(*this, form, toolkit))
{
    const int dpi = toolkit.dpi();
    toolkit.setLook({form.caption(),
        {twipsToPixels(form.clientWidth(), dpi), twipsToPixels(form.clientHeight(), dpi)}, form.font()});
    for (Control *control : form.controls())
        m_state->bind(*control);
    form.setView(m_state.get());
    for (Timer *timer : form.timers())
        m_state->timerChanged(*timer);
}

Runtime::~Runtime() = default;

void Runtime::show()
{
    Form &form = m_state->form;
    if (!form.hasLoaded()) {
        form.showing();
        m_state->toolkit.setTimer(FirstPaintTimer, 1000);
    }
    m_state->controlsChanged = true;
    m_state->sync();
}

void Runtime::painted()
{
    // Reported after the event: the paint reaches the screen before what waits for it runs.
    if (!m_state->form.hasPainted() && !m_state->paintReported) {
        m_state->paintReported = true;
        m_state->requestAfterEvent();
    }
}

void Runtime::resized()
{
    m_state->controlsChanged = true;
    if (!m_state->form.delivering())
        m_state->sync();
}

void Runtime::rescaled()
{
    for (const auto &binding : m_state->natives) {
        if (binding->control()) {
            binding->show(Change::Geometry);
            binding->show(Change::Font);
        }
    }
    resized();
}

void Runtime::activated()
{
    NativeBinding *last = m_state->focus;
    Control *to = focusOnActivation(m_state->form, last ? last->control() : nullptr);
    // Back where the user left it, selection and all; a first focus, as Tab gives it.
    if (to)
        m_state->focusOn(*to, !last || to != last->control());
}

void Runtime::timerElapsed(int id)
{
    Form &form = m_state->form;
    if (id == FirstPaintTimer) {
        m_state->toolkit.setTimer(FirstPaintTimer, 0);
        form.painted();
    } else if (id >= FormTimerBase && size_t(id - FormTimerBase) < form.timers().size()) {
        form.timers()[size_t(id - FormTimerBase)]->elapsed();
    }
}

void Runtime::afterEvent()
{
    RuntimeState &state = *m_state;
    state.posted = false;
    for (NativeBinding *binding : std::exchange(state.doomed, {}))
        state.destroy(*binding);
    if (state.paintReported && !state.form.hasPainted()) {
        state.toolkit.setTimer(FirstPaintTimer, 0);
        state.form.painted();
    }
    if (std::exchange(state.syncPending, false)) {
        state.controlsChanged = true;
        if (!state.form.delivering())
            state.sync();
    }
}

void Runtime::clicked(NativeControl &native)
{
    if (Control *control = native.control(); control && control->kind() == Control::Kind::CommandButton)
        static_cast<CommandButton *>(control)->click();
}

void Runtime::typed(NativeControl &native, std::u16string_view text)
{
    if (Control *control = native.control(); control && control->kind() == Control::Kind::TextBox)
        static_cast<TextBox *>(control)->typed(text);
}

void Runtime::focused(NativeControl &native)
{
    NativeBinding *binding = NativeBinding::of(native);
    if (!binding || m_state->focus == binding)
        return;
    // The native left may lie out of view: it goes once this event is over.
    if (m_state->focus && m_state->focus->control() && m_state->focus->control()->isRunTime())
        m_state->syncSoon();
    m_state->focus = binding;
}

void Runtime::mayHaveLeft(NativeControl &)
{
    m_state->syncSoon();
}

bool Runtime::key(NativeControl *native, Key key, Modifiers modifiers)
{
    const NativeBinding *at = native ? NativeBinding::of(*native) : m_state->focus;
    const KeyMove move = keyMove(m_state->form, at ? at->control() : nullptr, key, modifiers);
    if (move.focus)
        m_state->focusOn(*move.focus, true);
    return move.taken || (key == Key::Tab && m_state->toolkit.movesFocusOnTab());
}

} // namespace platform
