#include "window.h"

#include "control.h"
#include "controlarray.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

const char ComposingProperty[] = "quillmarkComposing";

// Notes when an input method starts and ends composing in a widget, and when a widget loses the focus: the
// two moments a widget that the user kept out of view may be released.
class UseWatcher final : public QObject {
    Q_OBJECT

public:
    explicit UseWatcher(std::function<void()> onLeft, QObject *parent)
        : QObject(parent)
        , m_onLeft(std::move(onLeft))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::InputMethod) {
            const bool composing = !static_cast<QInputMethodEvent *>(event)->preeditString().isEmpty();
            watched->setProperty(ComposingProperty, composing);
            if (!composing)
                m_onLeft();
        } else if (event->type() == QEvent::FocusOut) {
            m_onLeft();
        }
        return false;
    }

private:
    std::function<void()> m_onLeft;
};

} // namespace

Window::Window()
    : m_useWatcher(new UseWatcher([this] { syncSoon(); }, this))
{
}

Window::~Window()
{
    // The widgets that QWidget's destructor deletes lose their focus on the way; by then there is no window
    // to sync.
    delete std::exchange(m_useWatcher, nullptr);
}

void Window::setClientSize(float widthTwips, float heightTwips)
{
    resize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

void Window::print(const QString &line)
{
    m_printed.append(line);
    update();
    // The drawn lines belong to no control: a screen reader learns of them as the window's description (set
    // with its DescriptionChanged event).
    setAccessibleDescription(m_printed.join(QLatin1Char('\n')));
}

void Window::deliver(const std::function<void()> &handler)
{
    ++m_delivering;
    handler();
    --m_delivering;
    syncControls();
}

void Window::refreshLater(Control &control)
{
    if (!m_delivering) {
        control.refreshWidget();
        return;
    }
    if (!control.m_refreshPending) {
        control.m_refreshPending = true;
        m_refreshes.push_back(&control);
    }
}

bool Window::inUse(const QWidget *widget)
{
    if (widget->window()->focusWidget() == widget || widget->property(ComposingProperty).toBool())
        return true;
    // A context menu is a popup of its own, parented to the widget it acts on.
    for (const QWidget *popup = QApplication::activePopupWidget(); popup; popup = popup->parentWidget())
        if (popup == widget)
            return true;
    return false;
}

void Window::watch(QWidget *widget)
{
    // No reset of the composing mark is needed: a widget in use is never handed on (see
    // Control::dematerialize).
    widget->installEventFilter(m_useWatcher);
}

void Window::syncSoon()
{
    if (m_syncPosted)
        return;
    m_syncPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_syncPosted = false;
            m_controlsChanged = true;
            if (!m_delivering)
                syncControls();
        },
        Qt::QueuedConnection);
}

void Window::forgetRefresh(const Control *control)
{
    std::erase(m_refreshes, control);
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
    if (rank >= 2) {
        m_overlays.emplace_back(rank, widget);
        std::stable_sort(m_overlays.begin(), m_overlays.end(),
            [](const auto &a, const auto &b) { return a.first < b.first; });
        QObject::connect(widget, &QObject::destroyed, this, [this, widget] {
            std::erase_if(m_overlays, [widget](const auto &entry) { return entry.second == widget; });
        });
    }
    m_restack = true;
}

QWidget *Window::takeSpareWidget(int rank)
{
    auto &spares = m_spareWidgets.at(size_t(rank));
    if (spares.empty())
        return nullptr;
    QWidget *widget = spares.back();
    spares.pop_back();
    return widget;
}

void Window::keepSpareWidget(int rank, QWidget *widget)
{
    // As many as a large screen shows; beyond that a widget is only memory.
    constexpr size_t MaxSpares = 1024;
    auto &spares = m_spareWidgets.at(size_t(rank));
    if (spares.size() >= MaxSpares) {
        delete widget;
        return;
    }
    widget->hide();
    spares.push_back(widget);
}

void Window::setVisible(bool visible)
{
    if (visible && !m_loaded) {
        m_loaded = true;
        deliver([this] { load(); });
        QTimer::singleShot(1000, this, &Window::reportFirstPaint);
    }
    syncControls();
    QWidget::setVisible(visible);
}

void Window::reportFirstPaint()
{
    if (std::exchange(m_firstPaintReported, true))
        return;
    firstPainted();
}

void Window::paintEvent(QPaintEvent *)
{
    // Queued: the paint reaches the screen before what waits for it runs.
    if (!m_firstPaintReported)
        QMetaObject::invokeMethod(this, &Window::reportFirstPaint, Qt::QueuedConnection);

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
    for (Control *control : std::exchange(m_refreshes, {})) {
        control->m_refreshPending = false;
        control->refreshWidget();
    }
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

#include "window.moc"
