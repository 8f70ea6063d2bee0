#pragma once

// The runtime's own side of view.h: its state, and its record of each native. Nothing a view reads.

#include "platform/forms/control.h"
#include "platform/forms/form.h"
#include "view.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class RuntimeState;

// A native as the runtime keeps it: the control it shows (whose peer this is, told of each change), where it
// lies in the runtime's lists, and the changes held back until the current event is over.
class NativeBinding final : private ControlPeer {
public:
    NativeBinding(RuntimeState &state, std::unique_ptr<NativeControl> native);
    NativeBinding(const NativeBinding &) = delete;
    NativeBinding &operator=(const NativeBinding &) = delete;
    ~NativeBinding();

    static NativeBinding *of(const Control &control) { return static_cast<NativeBinding *>(control.peer()); }
    static NativeBinding *of(const NativeControl &native) { return native.m_binding; }

    NativeControl &native() const { return *m_native; }
    Control::Kind kind() const { return m_native->kind(); }
    Control *control() const { return m_control; }
    RuntimeState &state() const { return m_state; }

    // Shows control from now on, every property afresh; nullptr lets it go.
    void bind(Control *control);
    // Tells the native of one property of its control.
    void show(Change change);
    // Whether the user works in it: it has the focus, composed text or its menu.
    bool inUse() const;
    // Lets go of its control and of the native's events, which concern no one from here.
    void detach();

    std::size_t slot = 0; // in the runtime's list of natives
    std::uint32_t pending = 0; // changes held back until the event is over, a bit a Change

private:
    void changed(Change change) override;
    void controlDestroyed() override;

    RuntimeState &m_state;
    std::unique_ptr<NativeControl> m_native;
    Control *m_control = nullptr;
};

// The rules every view shares, as Runtime (view.h) exposes them: the pool of natives (natives.cpp) and the
// entry points (runtime.cpp).
class RuntimeState final : public FormView {
public:
    RuntimeState(Runtime &runtime, Form &form, Toolkit &toolkit);
    RuntimeState(const RuntimeState &) = delete;
    RuntimeState &operator=(const RuntimeState &) = delete;
    ~RuntimeState();

    Runtime &runtime;
    Form &form;
    Toolkit &toolkit;

    // The pool.
    NativeBinding &bind(Control &control);
    void release(NativeBinding &binding);
    void destroy(NativeBinding &binding);
    void hold(NativeBinding &binding, Change change);
    void showHeldChanges();
    // Natives for the run-time controls in view (see natives.cpp).
    void sync();
    void syncSoon();
    void requestAfterEvent();
    // Gives control the keyboard focus, and a native while it has it, in view or not.
    void focusOn(Control &control, bool selectAll);
    // A label's caption changed: it names the controls it labels.
    void renamed(const Label &label);

    std::vector<std::unique_ptr<NativeBinding>> natives; // every one, bound or not
    KindTable<std::vector<NativeBinding *>> spares;
    KindTable<std::vector<NativeBinding *>> layers; // oldest first: see bind
    std::vector<NativeBinding *> doomed; // in use when released: destroyed once the event is over
    std::vector<NativeBinding *> held; // with changes held back
    std::vector<int> timerIntervals; // what the toolkit was told, by timer id
    NativeBinding *focus = nullptr;
    bool controlsChanged = true;
    bool syncPending = false;
    bool paintReported = false;
    bool posted = false;

    // FormView
    void runTimeControlsChanged() override { controlsChanged = true; }
    void printed() override;
    void timerChanged(Timer &timer) override;
    void delivered() override;

private:
    void unbind(NativeBinding &binding);
    bool inView(const Control &control, PixelSize client, int dpi) const;
};

} // namespace platform
