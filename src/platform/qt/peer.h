#pragma once

#include "platform/control.h"
#include "platform/controls.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QRect>

class QWidget;

namespace platform::qt {

class Window;

// Positions and sizes are twips: 1/1440 inch, 15 to a logical pixel.
inline constexpr double TwipsPerPixel = 15.0;

// The nearest logical pixel to a twip value; non-finite values count as 0 and huge ones are clamped, so that
// no value a caller stores can upset the widgets.
int twipsToPixels(double twips);

// Where a control's widget is, or would be, in logical pixels of the client area.
QRect pixelGeometry(const Control &control);

QColor toQColor(Colour colour);

// The face a form names, or its nearest kin on this system.
QFont toQFont(const Font &font);

// A widget that shows one control at a time: made for a design-time control at the start, and handed from
// one run-time control to another as they come into view and leave it. It belongs to its widget and goes
// with it.
class Peer final : public QObject, public ControlPeer {
    Q_OBJECT

public:
    // A new widget of the kind, child of window.
    Peer(Control::Kind kind, Window &window);
    ~Peer() override;

    QWidget *widget() const { return m_widget; }
    Control *control() const { return m_control; }
    // Controls of a lower rank lie under those of a higher one: labels, text boxes, buttons, lists.
    int rank() const { return int(m_kind); }

    // Shows control, every property of it in full: nothing of a control shown before may remain. nullptr
    // lets go of the control shown.
    void bind(Control *control);

    void changed(Change change) override;
    void controlDestroyed() override;
    // Brings the widget up to date with properties whose showing waits until the end of the event.
    void refresh();
    bool refreshPending = false;

private:
    void show(Change change);

    Window &m_window;
    QWidget *m_widget;
    Control *m_control = nullptr;
    Control::Kind m_kind;
};

// The widget showing control, or nullptr while it has none.
QWidget *widgetOf(const Control &control);

} // namespace platform::qt
