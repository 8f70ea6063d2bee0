#include "view.h"

#include "controlarray.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {

namespace {

constexpr std::uint32_t bit(Change change)
{
    return std::uint32_t(1) << unsigned(change);
}

// Everything a native shows, in the order it is shown when a native takes a control: where and how first,
// visibility last, so that nothing shows half set up.
constexpr Change EveryProperty[] = {Change::Geometry, Change::Font, Change::Alignment, Change::BackColor,
    Change::Text, Change::Items, Change::Enabled, Change::Visible};

bool intersects(PixelRect a, PixelRect b)
{
    return a.width > 0 && a.height > 0 && b.width > 0 && b.height > 0 && a.left < b.left + b.width
        && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

bool takesFocus(const Control &control)
{
    return control.kind() != Control::Kind::Label && control.isVisible() && control.isEnabled();
}

std::optional<OwnColours> coloursOf(const Control &control)
{
    if (control.kind() == Control::Kind::TextBox)
        return OwnColours{static_cast<const TextBox &>(control).backColor()};
    if (control.kind() == Control::Kind::Label)
        if (const auto colour = static_cast<const Label &>(control).backColor())
            return OwnColours{*colour};
    return std::nullopt;
}

} // namespace

int twipsToPixels(double twips, int dpi)
{
    constexpr double Limit = 1e6;
    if (!std::isfinite(twips))
        return 0;
    return int(std::lround(std::clamp(twips * dpi / 1440, -Limit, Limit)));
}

PixelRect pixelRect(const Control &control, int dpi)
{
    const int left = twipsToPixels(control.left(), dpi);
    const int top = twipsToPixels(control.top(), dpi);
    const int right = twipsToPixels(double(control.left()) + double(control.width()), dpi);
    const int bottom = twipsToPixels(double(control.top()) + double(control.height()), dpi);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// NativeControl

NativeControl::~NativeControl() = default;

void NativeControl::changed(Change change)
{
    // A handler that sets a property several times costs the native one change, once the handler is over.
    if (m_runtime->m_form.delivering())
        m_runtime->hold(*this, change);
    else
        show(change);
}

void NativeControl::controlDestroyed()
{
    m_runtime->release(*this);
}

void NativeControl::show(Change change)
{
    const Control &control = *m_control;
    switch (change) {
    case Change::Geometry:
        setBounds(pixelRect(control, m_runtime->m_toolkit.dpi()));
        return;
    case Change::Visible:
        setVisible(control.isVisible());
        return;
    case Change::Enabled:
        setEnabled(control.isEnabled());
        return;
    case Change::Text:
        if (m_kind == Control::Kind::TextBox)
            setText(static_cast<const TextBox &>(control).text());
        else if (m_kind == Control::Kind::Label)
            setText(static_cast<const Label &>(control).caption());
        else if (m_kind == Control::Kind::CommandButton)
            setText(static_cast<const CommandButton &>(control).caption());
        return;
    case Change::BackColor:
        setColours(coloursOf(control));
        return;
    case Change::Alignment:
        if (m_kind == Control::Kind::Label)
            setAlignment(Label::Alignment(static_cast<const Label &>(control).alignment()));
        return;
    case Change::Font: {
        const Form &form = control.form();
        TextStyle style;
        style.halfWidthSpaces = form.font().halfWidthSpaces;
        if (m_kind == Control::Kind::Label) {
            const auto &label = static_cast<const Label &>(control);
            style.font = label.font();
            style.halfWidthSpaces = (label.font() ? *label.font() : form.font()).halfWidthSpaces;
            style.inkSample = label.inkSample();
        }
        setStyle(style);
        return;
    }
    case Change::Items:
        if (m_kind == Control::Kind::ListBox)
            setItems(static_cast<const ListBox &>(control).items());
        return;
    case Change::SelectAll:
        m_runtime->focusOn(*m_control);
        return;
    }
}

// Runtime

Runtime::Runtime(Form &form, Toolkit &toolkit)
    : m_form(form)
    , m_toolkit(toolkit)
{
    for (Control *control : form.controls())
        bind(*control);
    form.setView(this);
    for (Timer *timer : form.timers())
        timerChanged(*timer);
}

Runtime::~Runtime()
{
    m_form.setView(nullptr);
    for (const auto &native : m_natives) {
        if (native->m_control)
            native->m_control->setPeer(nullptr);
        native->m_runtime = nullptr;
    }
    m_focus = nullptr;
    // One at a time from the end: a native's toolkit may report on the way (a widget handing on its focus).
    while (!m_natives.empty()) {
        std::unique_ptr<NativeControl> native = std::move(m_natives.back());
        m_natives.pop_back();
        native->m_control = nullptr;
        native.reset();
    }
}

void Runtime::show()
{
    if (!m_form.hasLoaded()) {
        m_form.showing();
        m_toolkit.setTimer(FirstPaintTimer, 1000);
    }
    m_controlsChanged = true;
    sync();
}

void Runtime::painted()
{
    // Reported after the event: the paint reaches the screen before what waits for it runs.
    if (!m_form.hasPainted() && !m_paintReported) {
        m_paintReported = true;
        requestAfterEvent();
    }
}

void Runtime::resized()
{
    m_controlsChanged = true;
    if (!m_form.delivering())
        sync();
}

void Runtime::rescaled()
{
    for (const auto &native : m_natives) {
        if (native->m_control) {
            native->show(Change::Geometry);
            native->show(Change::Font);
        }
    }
    resized();
}

void Runtime::timerElapsed(int id)
{
    if (id == FirstPaintTimer) {
        m_toolkit.setTimer(FirstPaintTimer, 0);
        m_form.painted();
    } else if (id >= FormTimerBase && size_t(id - FormTimerBase) < m_form.timers().size()) {
        m_form.timers()[size_t(id - FormTimerBase)]->elapsed();
    }
}

void Runtime::requestAfterEvent()
{
    if (!m_posted) {
        m_posted = true;
        m_toolkit.post();
    }
}

void Runtime::afterEvent()
{
    m_posted = false;
    for (NativeControl *native : std::exchange(m_doomed, {}))
        destroy(*native);
    if (m_paintReported && !m_form.hasPainted()) {
        m_toolkit.setTimer(FirstPaintTimer, 0);
        m_form.painted();
    }
    if (std::exchange(m_syncSoon, false)) {
        m_controlsChanged = true;
        if (!m_form.delivering())
            sync();
    }
}

void Runtime::clicked(NativeControl &native)
{
    if (native.m_control && native.m_kind == Control::Kind::CommandButton)
        static_cast<CommandButton *>(native.m_control)->click();
}

void Runtime::typed(NativeControl &native, std::u16string_view text)
{
    if (native.m_control && native.m_kind == Control::Kind::TextBox)
        static_cast<TextBox *>(native.m_control)->typed(text);
}

void Runtime::focused(NativeControl &native)
{
    if (m_focus == &native)
        return;
    // The native left may lie out of view: it goes once this event is over.
    if (m_focus && m_focus->m_control && m_focus->m_control->isRunTime())
        syncSoon();
    m_focus = &native;
}

void Runtime::idle(NativeControl &)
{
    syncSoon();
}

std::vector<Control *> Runtime::keyboardOrder() const
{
    std::vector<Control *> order;
    for (Control *control : m_form.controls()) {
        order.push_back(control);
        for (const ControlArrayBase *array : m_form.arrays()) {
            if (array->tabAnchor() != control)
                continue;
            for (int index = 1; index < array->end(); ++index)
                if (Control *element = array->element(index))
                    order.push_back(element);
        }
    }
    return order;
}

bool Runtime::tab(bool backward)
{
    const std::vector<Control *> order = keyboardOrder();
    const Control *from = m_focus ? m_focus->m_control : nullptr;
    const auto at = std::find(order.begin(), order.end(), from);
    const auto count = std::ptrdiff_t(order.size());
    // From nothing, forward starts at the first control and backward at the last.
    std::ptrdiff_t index = at != order.end() ? at - order.begin() : (backward ? count : -1);
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        index = (index + (backward ? count - 1 : 1)) % count;
        if (takesFocus(*order[size_t(index)])) {
            focusOn(*order[size_t(index)]);
            return true;
        }
    }
    return false;
}

bool Runtime::takesEnter(const NativeControl &native) const
{
    const Control *control = native.m_control;
    return control && control->isRunTime() && control->array() && control->array()->enterMovesToNext();
}

bool Runtime::enter(NativeControl &native)
{
    if (!takesEnter(native))
        return false;
    // The next box, wherever it lies; Enter in the last one stays there.
    if (Control *next = native.m_control->array()->element(native.m_control->index() + 1))
        if (takesFocus(*next))
            focusOn(*next);
    return true;
}

void Runtime::focusOn(Control &control)
{
    // An answer box out of view takes the focus and the typing unseen: it has a native while it is in use.
    NativeControl &native = control.peer() ? *nativeOf(control) : bind(control);
    native.focus();
    focused(native);
}

NativeControl &Runtime::bind(Control &control)
{
    const auto kind = size_t(control.kind());
    NativeControl *native = nullptr;
    if (control.isRunTime() && !m_spares.at(kind).empty()) {
        native = m_spares.at(kind).back();
        m_spares.at(kind).pop_back();
    } else {
        std::unique_ptr<NativeControl> made
            = m_toolkit.make(control.kind(), pixelRect(control, m_toolkit.dpi()));
        native = made.get();
        native->m_runtime = this;
        native->m_slot = m_natives.size();
        m_natives.push_back(std::move(made));
        // Stacked by kind: labels under the boxes they overlap (a question's number under its answer box),
        // boxes under buttons, buttons under lists (the key list over a 17th column of boxes). A new native
        // goes on top of its kind, under the oldest native of the nearest kind above.
        NativeControl *above = nullptr;
        for (size_t higher = kind + 1; higher < m_layers.size() && !above; ++higher)
            if (!m_layers.at(higher).empty())
                above = m_layers.at(higher).front();
        native->stackUnder(above);
        m_layers.at(kind).push_back(native);
    }
    native->m_control = &control;
    control.setPeer(native);
    for (const Change change : EveryProperty)
        native->show(change);
    native->setAccessibleName(control.isRunTime() ? control.array()->accessibleName(control.index()) : u"");
    return *native;
}

void Runtime::unbind(NativeControl &native)
{
    if (native.m_pending) {
        native.m_pending = 0;
        std::erase(m_held, &native);
    }
    if (native.m_control)
        native.m_control->setPeer(nullptr);
    native.m_control = nullptr;
}

void Runtime::release(NativeControl &native)
{
    const bool runTime = native.m_control->isRunTime();
    const bool used = inUse(native);
    unbind(native);
    auto &spares = m_spares.at(size_t(native.m_kind));
    if (runTime && used) {
        // Gone while the user works in it (the focus, composed text, a menu): none of that may reach another
        // control, so the native goes too, once the event that holds it is over.
        native.setVisible(false);
        m_doomed.push_back(&native);
        requestAfterEvent();
    } else if (runTime && spares.size() < MaxSpares) {
        native.setVisible(false);
        spares.push_back(&native);
    } else {
        destroy(native);
    }
}

void Runtime::destroy(NativeControl &native)
{
    unbind(native);
    if (m_focus == &native)
        m_focus = nullptr;
    std::erase(m_layers.at(size_t(native.m_kind)), &native);
    std::erase(m_spares.at(size_t(native.m_kind)), &native);
    const size_t slot = native.m_slot;
    std::unique_ptr<NativeControl> gone = std::move(m_natives[slot]);
    m_natives[slot] = std::move(m_natives.back());
    m_natives[slot]->m_slot = slot;
    m_natives.pop_back();
    gone.reset(); // last: the toolkit may report on the way
}

void Runtime::hold(NativeControl &native, Change change)
{
    if (!native.m_pending)
        m_held.push_back(&native);
    native.m_pending |= bit(change);
}

void Runtime::showHeldChanges()
{
    for (NativeControl *native : std::exchange(m_held, {})) {
        const std::uint32_t pending = std::exchange(native->m_pending, 0);
        for (const Change change : EveryProperty)
            if (pending & bit(change))
                native->show(change);
        // Last: the focus goes to a native that shows everything else already.
        if ((pending & bit(Change::SelectAll)) && native->m_control)
            native->show(Change::SelectAll);
    }
}

void Runtime::delivered()
{
    showHeldChanges();
    sync();
}

void Runtime::syncSoon()
{
    m_syncSoon = true;
    requestAfterEvent();
}

bool Runtime::inView(const Control &control, PixelSize client) const
{
    return intersects({0, 0, client.width, client.height}, pixelRect(control, m_toolkit.dpi()));
}

// Gives a native to each run-time control that is visible and in view, and takes it from the others, unless
// the user is working in it: taking it then would move the focus and lose composed text, so it stays until
// the user leaves it.
void Runtime::sync()
{
    if (!std::exchange(m_controlsChanged, false))
        return;
    // Read once: asked after each native made or hidden here, a toolkit would lay the window out anew.
    const PixelSize client = m_toolkit.clientSize();
    for (const ControlArrayBase *array : m_form.arrays()) {
        for (int index = 1; index < array->end(); ++index) {
            Control *control = array->element(index);
            if (!control)
                continue;
            NativeControl *native = nativeOf(*control);
            const bool wanted = control->isVisible() && inView(*control, client);
            if (wanted && !native)
                bind(*control);
            else if (!wanted && native && !(control->isVisible() && inUse(*native)))
                release(*native);
        }
    }
}

void Runtime::printed()
{
    std::u16string lines;
    for (const auto &line : m_form.printedLines())
        lines += (lines.empty() ? u"" : u"\n") + line;
    m_toolkit.printed(lines);
}

void Runtime::timerChanged(Timer &timer)
{
    const auto &timers = m_form.timers();
    const auto found = std::find(timers.begin(), timers.end(), &timer);
    if (found == timers.end())
        return;
    const auto id = size_t(FormTimerBase) + size_t(found - timers.begin());
    const int interval = timer.isEnabled() ? timer.interval() : 0;
    if (m_timerIntervals.size() <= id)
        m_timerIntervals.resize(id + 1, 0);
    // Told again only when it changes: the toolkit restarts a timer it is told of.
    if (std::exchange(m_timerIntervals[id], interval) != interval)
        m_toolkit.setTimer(int(id), interval);
}

} // namespace platform
