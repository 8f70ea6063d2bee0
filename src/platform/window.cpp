#include "window.h"

#include "control.h"
#include "controlarray.h"

#include <QPainter>

#include <algorithm>

namespace platform {

Window::Window() = default;

Window::~Window() = default;

void Window::setClientSize(float widthTwips, float heightTwips)
{
    resize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

void Window::print(const QString &line)
{
    m_printed.append(line);
    update();
}

void Window::deliver(const std::function<void()> &handler)
{
    handler();
    syncControls();
}

void Window::setTabOrder(std::initializer_list<const Control *> controls)
{
    const Control *previous = nullptr;
    for (const Control *control : controls) {
        if (previous && previous->widget() && control->widget())
            QWidget::setTabOrder(previous->widget(), control->widget());
        previous = control;
    }
}

void Window::stack(QWidget *widget, int rank)
{
    if (rank == 0) {
        widget->lower();
        return;
    }
    if (rank >= 2 && widget->parentWidget() == this) {
        m_overlays.emplace_back(rank, widget);
        std::stable_sort(m_overlays.begin(), m_overlays.end(),
            [](const auto &a, const auto &b) { return a.first < b.first; });
        QObject::connect(widget, &QObject::destroyed, this, [this, widget] {
            std::erase_if(m_overlays, [widget](const auto &entry) { return entry.second == widget; });
        });
    }
    m_restack = true;
}

void Window::setVisible(bool visible)
{
    if (visible && !m_loaded) {
        m_loaded = true;
        deliver([this] { load(); });
    }
    syncControls();
    QWidget::setVisible(visible);
}

void Window::paintEvent(QPaintEvent *)
{
    if (m_printed.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    int y = 0;
    for (const QString &line : std::as_const(m_printed)) {
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.height();
    }
}

void Window::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_controlsChanged = true;
    syncControls();
}

void Window::syncControls()
{
    if (m_controlsChanged) {
        m_controlsChanged = false;
        const QRect client = rect();
        for (ControlArrayBase *array : m_arrays)
            array->sync(client);
    }
    if (m_restack) {
        m_restack = false;
        for (const auto &entry : m_overlays)
            entry.second->raise();
    }
}

} // namespace platform
