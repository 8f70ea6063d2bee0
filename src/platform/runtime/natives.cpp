// The pool of natives: which controls have one, when one is released, handed on or destroyed, and what each
// is told of its control.

#include "accessible.h"
#include "pixels.h"
#include "platform/forms/controlarray.h"
#include "runtime.h"

#include <algorithm>
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
    Change::Text, Change::Items, Change::Name, Change::Enabled, Change::Visible};

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

// NativeControl

NativeControl::~NativeControl() = default;

Control *NativeControl::control() const
{
    return m_binding ? m_binding->control() : nullptr;
}

Runtime *NativeControl::runtime() const
{
    return m_binding ? &m_binding->state().runtime : nullptr;
}

NativeControl *Runtime::nativeOf(const Control &control)
{
    const NativeBinding *binding = NativeBinding::of(control);
    return binding ? &binding->native() : nullptr;
}

// NativeBinding

NativeBinding::NativeBinding(RuntimeState &state, std::unique_ptr<NativeControl> native)
    : m_state(state)
    , m_native(std::move(native))
{
    m_native->m_binding = this;
}

NativeBinding::~NativeBinding()
{
    // A toolkit may report on the way (a widget handing on its focus).
    detach();
    m_native.reset();
}

void NativeBinding::detach()
{
    if (m_control)
        m_control->setPeer(nullptr);
    m_control = nullptr;
    m_native->m_binding = nullptr;
}

void NativeBinding::bind(Control *control)
{
    if (m_control)
        m_control->setPeer(nullptr);
    m_control = control;
    if (!control)
        return;
    control->setPeer(this);
    for (const Change change : EveryProperty)
        show(change);
}

bool NativeBinding::inUse() const
{
    return this == m_state.focus || m_native->busy();
}

void NativeBinding::changed(Change change)
{
    // A handler that sets a property several times costs the native one change, once the handler is over.
    if (m_state.form.delivering())
        m_state.hold(*this, change);
    else
        show(change);
}

void NativeBinding::controlDestroyed()
{
    m_state.release(*this);
}

void NativeBinding::show(Change change)
{
    const Control &control = *m_control;
    NativeControl &native = *m_native;
    const Control::Kind kind = native.kind();
    switch (change) {
    case Change::Geometry:
        native.setBounds(pixelRect(control, m_state.toolkit.dpi()));
        return;
    case Change::Visible:
        native.setVisible(control.isVisible());
        return;
    case Change::Enabled:
        native.setEnabled(control.isEnabled());
        return;
    case Change::Text:
        if (kind == Control::Kind::TextBox) {
            native.setText(static_cast<const TextBox &>(control).text());
        } else if (kind == Control::Kind::Label) {
            native.setText(static_cast<const Label &>(control).caption());
            m_state.renamed(static_cast<const Label &>(control));
        } else if (kind == Control::Kind::CommandButton) {
            native.setText(static_cast<const CommandButton &>(control).caption());
        }
        return;
    case Change::BackColor:
        native.setColours(coloursOf(control));
        if (kind == Control::Kind::TextBox)
            native.setAccessibleDescription(accessibleDescription(control));
        return;
    case Change::Alignment:
        if (kind == Control::Kind::Label)
            native.setAlignment(Label::Alignment(static_cast<const Label &>(control).alignment()));
        return;
    case Change::Font: {
        const Form &form = control.form();
        TextStyle style;
        style.halfWidthSpaces = form.font().halfWidthSpaces;
        if (kind == Control::Kind::Label) {
            const auto &label = static_cast<const Label &>(control);
            style.font = label.font();
            style.halfWidthSpaces = (label.font() ? *label.font() : form.font()).halfWidthSpaces;
            style.inkSample = label.inkSample();
        }
        native.setStyle(style);
        return;
    }
    case Change::Items:
        if (kind == Control::Kind::ListBox)
            native.setItems(static_cast<const ListBox &>(control).items());
        return;
    case Change::Name:
        native.setAccessibleName(accessibleName(control));
        return;
    case Change::SelectAll:
        m_state.focusOn(*m_control, true);
        return;
    }
}

// The pool

NativeBinding &RuntimeState::bind(Control &control)
{
    const Control::Kind kind = control.kind();
    NativeBinding *binding = nullptr;
    if (control.isRunTime() && !spares[kind].empty()) {
        binding = spares[kind].back();
        spares[kind].pop_back();
    } else {
        natives.push_back(std::make_unique<NativeBinding>(
            *this, toolkit.make(control.kind(), pixelRect(control, toolkit.dpi()))));
        binding = natives.back().get();
        binding->slot = natives.size() - 1;
        // Stacked by kind: labels under the boxes they overlap (a question's number under its answer box),
        // boxes under buttons, buttons under lists (the key list over a 17th column of boxes). A new native
        // goes on top of its kind, under the oldest native of the nearest kind above.
        NativeBinding *above = nullptr;
        for (auto higher = size_t(kind) + 1; higher < KindCount && !above; ++higher)
            if (const auto &layer = layers[Control::Kind(higher)]; !layer.empty())
                above = layer.front();
        binding->native().stackUnder(above ? &above->native() : nullptr);
        layers[kind].push_back(binding);
    }
    binding->bind(&control);
    return *binding;
}

void RuntimeState::unbind(NativeBinding &binding)
{
    if (binding.pending) {
        binding.pending = 0;
        std::erase(held, &binding);
    }
    binding.bind(nullptr);
}

void RuntimeState::release(NativeBinding &binding)
{
    const bool runTime = binding.control()->isRunTime();
    const bool used = binding.inUse();
    unbind(binding);
    auto &kindSpares = spares[binding.kind()];
    if (runTime && used) {
        // Gone while the user works in it (the focus, composed text, a menu): none of that may reach another
        // control, so the native goes too, once the event that holds it is over.
        binding.native().setVisible(false);
        doomed.push_back(&binding);
        requestAfterEvent();
    } else if (runTime && kindSpares.size() < Runtime::MaxSpares) {
        binding.native().setVisible(false);
        kindSpares.push_back(&binding);
    } else {
        destroy(binding);
    }
}

void RuntimeState::destroy(NativeBinding &binding)
{
    unbind(binding);
    if (focus == &binding)
        focus = nullptr;
    std::erase(layers[binding.kind()], &binding);
    std::erase(spares[binding.kind()], &binding);
    const size_t slot = binding.slot;
    std::unique_ptr<NativeBinding> gone = std::move(natives[slot]);
    natives[slot] = std::move(natives.back());
    natives[slot]->slot = slot;
    natives.pop_back();
    gone.reset(); // last: the toolkit may report on the way
}

void RuntimeState::hold(NativeBinding &binding, Change change)
{
    if (!binding.pending)
        held.push_back(&binding);
    binding.pending |= bit(change);
}

void RuntimeState::showHeldChanges()
{
    for (NativeBinding *binding : std::exchange(held, {})) {
        const std::uint32_t pending = std::exchange(binding->pending, 0);
        for (const Change change : EveryProperty)
            if (pending & bit(change))
                binding->show(change);
        // A text the program set in an announced box is told to screen readers as it shows.
        if (pending & bit(Change::Text))
            if (const std::u16string said = announcement(*binding->control()); !said.empty())
                binding->native().announce(said);
        // Last: the focus goes to a native that shows everything else already.
        if ((pending & bit(Change::SelectAll)) && binding->control())
            binding->show(Change::SelectAll);
    }
}

void RuntimeState::renamed(const Label &label)
{
    if (label.isRunTime())
        return; // the numbers of a sheet name nothing
    for (Control *control : form.controls())
        if (control->labelledBy() == &label)
            if (NativeBinding *binding = NativeBinding::of(*control))
                binding->show(Change::Name);
}

void RuntimeState::focusOn(Control &control, bool selectAll)
{
    // An answer box out of view takes the focus and the typing unseen: it has a native while it is in use.
    NativeBinding *binding = NativeBinding::of(control);
    if (!binding)
        binding = &bind(control);
    binding->native().focus(selectAll);
    runtime.focused(binding->native());
}

bool RuntimeState::inView(const Control &control, PixelSize client, int dpi) const
{
    return intersects({0, 0, client.width, client.height}, pixelRect(control, dpi));
}

// Gives a native to each run-time control that is visible and in view, and takes it from the others, unless
// the user is working in it: taking it then would move the focus and lose composed text, so it stays until
// the user leaves it.
void RuntimeState::sync()
{
    if (!std::exchange(controlsChanged, false))
        return;
    // Measured once: a toolkit may lay the window out to answer.
    const PixelSize client = toolkit.clientSize();
    const int dpi = toolkit.dpi();
    for (const ControlArrayBase *array : form.arrays()) {
        for (int index = 1; index < array->end(); ++index) {
            Control *control = array->element(index);
            if (!control)
                continue;
            NativeBinding *binding = NativeBinding::of(*control);
            const bool wanted = control->isVisible() && inView(*control, client, dpi);
            if (wanted && !binding)
                bind(*control);
            else if (!wanted && binding && !(control->isVisible() && binding->inUse()))
                release(*binding);
        }
    }
}

void RuntimeState::syncSoon()
{
    syncPending = true;
    requestAfterEvent();
}

void RuntimeState::requestAfterEvent()
{
    if (!posted) {
        posted = true;
        toolkit.post();
    }
}

} // namespace platform
