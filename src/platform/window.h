#pragma once

#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <initializer_list>
#include <vector>

namespace platform {

class Control;
class ControlArrayBase;

// The one top-level window: a client area holding controls, with text drawn on its surface. Top-level, it has
// no parent to take.
class Window : public QWidget { // clazy:exclude=ctor-missing-parent-argument
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Window)

public:
    Window();
    ~Window() override;

    QString caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    // Sizes the client area; the window stays resizable.
    void setClientSize(float widthTwips, float heightTwips);

    // Draws a line of text on the window surface at the current text position, then moves that position to
    // the start of the next line. Lines stack from the top-left corner in the window's font and text colour,
    // on a transparent background, and are kept across repaints.
    void print(const QString &line);
    QStringList printedLines() const { return m_printed; }

    // Runs an event handler, then gives widgets to the run-time controls that came into view and takes them
    // from those that left it. Every click and tick reaches its handler through here.
    void deliver(const std::function<void()> &handler);

    // Puts the controls' widgets in this keyboard order.
    static void setTabOrder(std::initializer_list<const Control *> controls);

    // The stacking rule for a widget that was just made: see Control::stackRank.
    void stack(QWidget *widget, int rank);

    // A run-time control changed its visibility, place or size, or an array gained or lost one.
    void controlsChanged() { m_controlsChanged = true; }

    // Has control refresh its widget once the event being delivered has been handled, or now outside an
    // event: a handler that sets a property several times costs the widget one change.
    void refreshLater(Control &control);

    // Whether the user is working in a run-time control's widget: it is the window's focus widget, an input
    // method is composing in it, or it shows a menu. Such a widget stays with its control while out of view.
    static bool inUse(const QWidget *widget);

protected:
    // Runs once, when the window is first asked to show and before it does.
    virtual void load() { }
    // Runs once, just after the window's first paint has reached the screen (or a second after it was first
    // shown, should it not paint, as when it starts minimised).
    virtual void firstPainted() { }

    void setVisible(bool visible) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class Control;
    friend class ControlArrayBase;
    void syncControls();
    // Watches a run-time control's widget for the moments it stops being in use.
    void watch(QWidget *widget);
    // Syncs the run-time controls once the current event is over: a widget that the user has just left, out
    // of view, then goes.
    void syncSoon();
    void reportFirstPaint();
    void forgetRefresh(const Control *control);
    // Widgets given up by run-time controls, by stack rank, ready for the next control of that kind.
    QWidget *takeSpareWidget(int rank);
    void keepSpareWidget(int rank, QWidget *widget);

    std::vector<ControlArrayBase *> m_arrays;
    std::vector<std::pair<int, QWidget *>> m_overlays; // design-time widgets above text boxes, by rank
    std::vector<Control *> m_refreshes;
    std::array<std::vector<QWidget *>, 4> m_spareWidgets;
    QStringList m_printed;
    QObject *m_useWatcher = nullptr; // watches the run-time controls' widgets
    int m_delivering = 0;
    bool m_loaded = false;
    bool m_controlsChanged = false;
    bool m_restack = false;
    bool m_syncPosted = false;
    bool m_firstPaintReported = false;
};

} // namespace platform
