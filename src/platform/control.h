#pragma once

#include <QColor>
#include <QMetaObject>
#include <QRect>
#include <QtGlobal>

class QWidget;

namespace platform {

class Window;

// Positions and sizes are twips: 1/1440 inch, 15 to a logical pixel.
inline constexpr double TwipsPerPixel = 15.0;

// The nearest logical pixel to a twip value; non-finite values count as 0 and huge ones are clamped, so that
// no value a caller stores can upset the widgets.
int twipsToPixels(double twips);

// A colour written 0x00BBGGRR: red in the low byte.
using Colour = quint32;
QColor toQColor(Colour colour);

// A control of the window: it keeps its properties itself, exactly as set, and shows them through a widget.
//
// Controls made at design time have their widget from the start. Controls made at run time as copies in a
// ControlArray have one only while they are visible and lie inside the window's client area: the window makes
// and drops those widgets after each event (Window::deliver) and on resizes, so a sheet of thousands of boxes
// costs widgets only for the few the user can see. A widget the user is working in (Window::inUse) is kept
// while out of view, and released once the user has left it.
class Control {
public:
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;
    virtual ~Control();

    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void move(float left, float top, float width, float height);

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The widget showing this control, or nullptr while it has none.
    QWidget *widget() const { return m_widget; }

    // Where the widget is, or would be, in logical pixels of the client area.
    QRect pixelGeometry() const;

protected:
    // A design-time control of window; the subclass constructor calls materialize().
    explicit Control(Window &window);
    struct HiddenCopy { };
    // A run-time copy of prototype's properties, hidden and without a widget.
    Control(const Control &prototype, HiddenCopy);

    // A new widget of this kind, child of parent.
    virtual QWidget *newWidget(QWidget *parent) const = 0;
    // Connects the widget's signals to this control; the connection is dropped when the widget goes.
    virtual QMetaObject::Connection connectWidget(QWidget *) { return {}; }
    // Shows every kind-specific property on a widget new or handed on from another control.
    virtual void showProperties(QWidget *widget) = 0;
    // Controls of a lower rank lie under those of a higher one: labels, text boxes, buttons, lists.
    virtual int stackRank() const = 0;

    void materialize();
    Window &window() const { return m_window; }

    // Brings the widget up to date with properties whose showing waits until the end of the event (see
    // Window::refreshLater).
    virtual void refreshWidget() { }

private:
    friend class ControlArrayBase;
    friend class Window;
    void dematerialize();
    void geometryChanged();

    Window &m_window;
    QWidget *m_widget = nullptr;
    QMetaObject::Connection m_connection;
    int m_widgetRank
        = 0; // stackRank() of the widget, for its return to the window after this control is gone
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_lazy = false;
    bool m_refreshPending = false;
};

} // namespace platform
