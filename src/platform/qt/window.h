#pragma once

#include "platform/form.h"

#include <QWidget>

#include <array>
#include <memory>
#include <utility>
#include <vector>

class QTimer;

namespace platform::qt {

class Peer;

// A form shown as a top-level Qt window: a widget for each design-time control, and widgets for the run-time
// controls that lie in view, made and dropped after each event and on resizes, so a sheet of thousands of
// boxes costs widgets only for the few the user can see. A widget the user is working in (inUse) is kept
// while out of view, and released once the user has left it. Top-level, it has no parent to take.
class Window : public QWidget, private FormView { // clazy:exclude=ctor-missing-parent-argument
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Window)

public:
    explicit Window(Form &form);
    ~Window() override;

    Form &form() const { return m_form; }

    // Whether the user is working in a run-time control's widget: it is the window's focus widget, an input
    // method is composing in it, or it shows a menu. Such a widget stays with its control while out of view.
    static bool inUse(const QWidget *widget);

protected:
    void setVisible(bool visible) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class Peer;

    // FormView
    void runTimeControlsChanged() override { m_controlsChanged = true; }
    void printed() override;
    void timerChanged(Timer &timer) override;
    void delivered() override { syncControls(); }

    // Gives control a widget, handed on from a control gone out of view where one waits.
    Peer *materialize(Control &control);
    // Takes the widget from the control it shows: a run-time control's goes to wait for the next, unless the
    // user is working in it.
    void release(Peer *peer);
    // Has peer refresh its widget once the event being delivered has been handled, or now outside an event:
    // a handler that sets a property several times costs the widget one change.
    void refreshLater(Peer *peer);
    void forgetRefresh(const Peer *peer);

    void syncControls();
    // Gives widgets to the array's elements that are visible and inside client, and takes them from the
    // others.
    void syncArray(const ControlArrayBase &array, QRect client);
    void focusAfter(const QWidget *widget) const;
    // The stacking rule for a widget that was just made: see Peer::rank.
    void stack(QWidget *widget, int rank);
    // Syncs the run-time controls once the current event is over: a widget that the user has just left, out
    // of view, then goes.
    void syncSoon();
    void reportFirstPaint();

    Form &m_form;
    std::vector<std::pair<Timer *, QTimer *>> m_timers;
    std::vector<std::pair<int, QWidget *>> m_overlays; // design-time widgets above text boxes, by rank
    std::vector<Peer *> m_refreshes;
    std::array<std::vector<Peer *>, 4> m_spares; // widgets waiting for a control, by rank
    QObject *m_useWatcher = nullptr; // watches the run-time controls' widgets
    QObject *m_enterFilter = nullptr; // Enter in an answer box moves on
    bool m_controlsChanged = false;
    bool m_restack = false;
    bool m_syncPosted = false;
};

} // namespace platform::qt
