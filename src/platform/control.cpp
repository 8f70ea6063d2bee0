#include "control.h"

#include "window.h"

#include <QWidget>

#include <cmath>

namespace platform {

int twipsToPixels(double twips)
{
    constexpr double Limit = 1e6 * TwipsPerPixel;
    if (!std::isfinite(twips))
        return 0;
    return qRound(std::clamp(twips, -Limit, Limit) / TwipsPerPixel);
}

QColor toQColor(Colour colour)
{
    return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

Control::Control(Window &window)
    : m_window(window)
{
}

Control::Control(const Control &prototype, HiddenCopy)
    : m_window(prototype.m_window)
    , m_left(prototype.m_left)
    , m_top(prototype.m_top)
    , m_width(prototype.m_width)
    , m_height(prototype.m_height)
    , m_visible(false)
    , m_enabled(prototype.m_enabled)
    , m_lazy(true)
{
}

Control::~Control()
{
    if (m_refreshPending)
        m_window.forgetRefresh(this);
    dematerialize();
}

void Control::setLeft(float twips)
{
    m_left = twips;
    geometryChanged();
}

void Control::setTop(float twips)
{
    m_top = twips;
    geometryChanged();
}

void Control::setWidth(float twips)
{
    m_width = twips;
    geometryChanged();
}

void Control::setHeight(float twips)
{
    m_height = twips;
    geometryChanged();
}

void Control::move(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    geometryChanged();
}

void Control::setVisible(bool visible)
{
    m_visible = visible;
    if (m_lazy)
        m_window.controlsChanged();
    else if (m_widget)
        m_widget->setVisible(visible);
}

void Control::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_widget)
        m_widget->setEnabled(enabled);
}

QRect Control::pixelGeometry() const
{
    const int x = twipsToPixels(m_left);
    const int y = twipsToPixels(m_top);
    const int right = twipsToPixels(double(m_left) + double(m_width));
    const int bottom = twipsToPixels(double(m_top) + double(m_height));
    return QRect(x, y, std::max(0, right - x), std::max(0, bottom - y));
}

void Control::geometryChanged()
{
    if (m_widget)
        m_widget->setGeometry(pixelGeometry());
    if (m_lazy)
        m_window.controlsChanged();
}

void Control::materialize()
{
    if (m_widget)
        return;
    m_widgetRank = stackRank();
    m_widget = m_lazy ? m_window.takeSpareWidget(m_widgetRank) : nullptr;
    if (!m_widget)
        m_widget = newWidget(&m_window);
    m_connection = connectWidget(m_widget);
    if (m_lazy)
        m_window.watch(m_widget);
    showProperties(m_widget);
    m_widget->setGeometry(pixelGeometry());
    m_widget->setEnabled(m_enabled);
    m_widget->setVisible(m_visible);
    m_window.stack(m_widget, m_widgetRank);
}

void Control::dematerialize()
{
    if (!m_widget)
        return;
    QObject::disconnect(m_connection);
    if (!m_lazy) {
        delete m_widget;
    } else if (Window::inUse(m_widget)) {
        // The control is gone while the user works in its widget (the focus, composed text, a menu): none of
        // that may reach another control, so the widget goes too, once the event that holds it is over.
        m_widget->hide();
        m_widget->deleteLater();
    } else {
        m_window.keepSpareWidget(m_widgetRank, m_widget);
    }
    m_widget = nullptr;
}

} // namespace platform
