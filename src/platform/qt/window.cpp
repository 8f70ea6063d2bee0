#include "window.h"

#include "peer.h"
#include "platform/controlarray.h"
#include "text.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

namespace platform::qt {

namespace {

const char ComposingProperty[] = "quillmarkComposing";
const char IndexProperty[] = "quillmarkIndex";

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

// Enter or Return in a watched widget runs an action instead of reaching the widget.
class EnterFilter final : public QObject {
    Q_OBJECT

public:
    explicit EnterFilter(std::function<void(const QWidget *)> onEnter, QObject *parent)
        : QObject(parent)
        , m_onEnter(std::move(onEnter))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_onEnter(static_cast<const QWidget *>(watched));
                return true;
            }
        }
        return false;
    }

private:
    std::function<void(const QWidget *)> m_onEnter;
};

// The program's icon. Its pixels are kept raw, RGBA: an image reader, even told the format, loads every
// image-format plug-in (and libjpeg) first, a millisecond on the way to the window.
QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QFile file(QStringLiteral(":/quillmark/quillmark-%1.rgba").arg(size));
        if (!file.open(QIODevice::ReadOnly) || file.size() != qint64(size) * size * 4)
            continue;
        const QByteArray pixels = file.readAll();
        const QImage image(reinterpret_cast<const uchar *>(pixels.constData()), size, size,
            qsizetype(size) * 4, QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(image)); // a deep copy: pixels may go
    }
    return icon;
}

// Without a CJK font every caption shows as boxes. Says why, once, where a user who starts the program from a
// terminal looks; the program runs on. Asked after the first paint: it reads every font's writing systems,
// some milliseconds that the window need not wait for.
void warnWithoutChineseFont()
{
    static const bool checked = [] {
        if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
            std::fputs("quillmark: no font on this system can show Chinese text; install one (on Debian: "
                       "fonts-arphic-uming)\n",
                stderr);
        return true;
    }();
    Q_UNUSED(checked);
}

} // namespace

Window::Window(Form &form)
    : m_form(form)
    , m_useWatcher(new UseWatcher([this] { syncSoon(); }, this))
    , m_enterFilter(new EnterFilter([this](const QWidget *widget) { focusAfter(widget); }, this))
{
    setWindowTitle(toQString(form.caption()));
    setFont(toQFont(form.font()));
    resize(twipsToPixels(form.clientWidth()), twipsToPixels(form.clientHeight()));
    setWindowIcon(programIcon());

    // The design-time controls, in keyboard order.
    QWidget *previous = nullptr;
    for (Control *control : form.controls()) {
        QWidget *widget = materialize(*control)->widget();
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }

    for (Timer *timer : form.timers()) {
        auto *clock = new QTimer(this);
        clock->setTimerType(Qt::PreciseTimer);
        connect(clock, &QTimer::timeout, this, [timer] { timer->elapsed(); });
        m_timers.emplace_back(timer, clock);
        timerChanged(*timer);
    }

    form.setView(this);
    m_controlsChanged = true;
}

Window::~Window()
{
    m_form.setView(nullptr);
    // The widgets deleted below lose their focus on the way; by then there is nothing to sync.
    delete std::exchange(m_useWatcher, nullptr);
    const auto drop = [](const Control *control) {
        if (auto *widget = control ? widgetOf(*control) : nullptr)
            delete widget; // and its peer, which lets go of the control
    };
    for (const ControlArrayBase *array : m_form.arrays())
        for (int index = 1; index < array->end(); ++index)
            drop(array->element(index));
    for (const Control *control : m_form.controls())
        drop(control);
    for (const auto &spares : m_spares)
        for (const Peer *peer : spares)
            delete peer->widget();
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

Peer *Window::materialize(Control &control)
{
    const int rank = int(control.kind());
    Peer *peer = nullptr;
    if (control.isRunTime() && !m_spares.at(size_t(rank)).empty()) {
        peer = m_spares.at(size_t(rank)).back();
        m_spares.at(size_t(rank)).pop_back();
    } else {
        peer = new Peer(control.kind(), *this);
        if (control.isRunTime())
            peer->widget()->installEventFilter(m_useWatcher);
    }
    peer->bind(&control);
    stack(peer->widget(), rank);
    return peer;
}

void Window::release(Peer *peer)
{
    const bool runTime = peer->control()->isRunTime();
    peer->bind(nullptr);
    QWidget *widget = peer->widget();
    // As many as a large screen shows; beyond that a widget is only memory.
    constexpr size_t MaxSpares = 1024;
    auto &spares = m_spares.at(size_t(peer->rank()));
    if (runTime && inUse(widget)) {
        // The control is gone while the user works in its widget (the focus, composed text, a menu): none of
        // that may reach another control, so the widget goes too, once the event that holds it is over. No
        // reset of the composing mark is needed: a widget in use is never handed on.
        widget->hide();
        widget->deleteLater();
    } else if (runTime && spares.size() < MaxSpares) {
        widget->hide();
        spares.push_back(peer);
    } else {
        delete widget;
    }
}

void Window::refreshLater(Peer *peer)
{
    if (!m_form.delivering()) {
        peer->refresh();
        return;
    }
    if (!peer->refreshPending) {
        peer->refreshPending = true;
        m_refreshes.push_back(peer);
    }
}

void Window::forgetRefresh(const Peer *peer)
{
    std::erase(m_refreshes, peer);
}

void Window::printed()
{
    update();
    // The drawn lines belong to no control: a screen reader learns of them as the window's description (set
    // with its DescriptionChanged event).
    QStringList lines;
    for (const auto &line : m_form.printedLines())
        lines.append(toQString(line));
    setAccessibleDescription(lines.join(QLatin1Char('\n')));
}

void Window::timerChanged(Timer &timer)
{
    const auto found = std::find_if(
        m_timers.begin(), m_timers.end(), [&timer](const auto &entry) { return entry.first == &timer; });
    if (found == m_timers.end())
        return;
    QTimer *clock = found->second;
    if (clock->interval() != timer.interval())
        clock->setInterval(timer.interval());
    if (!timer.isEnabled())
        clock->stop();
    else if (!clock->isActive())
        clock->start();
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
            if (!m_form.delivering())
                syncControls();
        },
        Qt::QueuedConnection);
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

void Window::setVisible(bool visible)
{
    if (visible && !m_form.hasLoaded()) {
        m_form.showing();
        QTimer::singleShot(1000, this, &Window::reportFirstPaint);
    }
    syncControls();
    QWidget::setVisible(visible);
}

void Window::reportFirstPaint()
{
    if (m_form.hasPainted())
        return;
    m_form.painted();
    warnWithoutChineseFont();
}

void Window::paintEvent(QPaintEvent *)
{
    // Queued: the paint reaches the screen before what waits for it runs.
    if (!m_form.hasPainted())
        QMetaObject::invokeMethod(this, &Window::reportFirstPaint, Qt::QueuedConnection);

    const auto &printed = m_form.printedLines();
    if (printed.empty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    int y = 0;
    for (const auto &line : printed) {
        painter.drawText(0, y + metrics.ascent(), toQString(line));
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
    for (Peer *peer : std::exchange(m_refreshes, {})) {
        peer->refreshPending = false;
        peer->refresh();
    }
    if (m_controlsChanged) {
        m_controlsChanged = false;
        const QRect client = rect();
        for (const ControlArrayBase *array : m_form.arrays())
            syncArray(*array, client);
    }
    if (m_restack) {
        m_restack = false;
        for (const auto &entry : m_overlays)
            entry.second->raise();
    }
}

void Window::syncArray(const ControlArrayBase &array, QRect client)
{
    syncPeers(
        array, [client](const Control &control) { return client.intersects(pixelGeometry(control)); },
        [](const Control &control) { return inUse(widgetOf(control)); },
        [this, &array](Control &control, int index, const Control *previous) {
            QWidget *widget = materialize(control)->widget();
            // A widget may come from the spares: give it this element's identity in full.
            widget->setProperty(IndexProperty, index);
            widget->setAccessibleName(toQString(array.accessibleName(index)));
            if (array.enterMovesToNext())
                widget->installEventFilter(m_enterFilter);
            if (previous && widget->focusPolicy() != Qt::NoFocus)
                QWidget::setTabOrder(widgetOf(*previous), widget);
        },
        [this](const Control &control) { release(static_cast<Peer *>(control.peer())); });
}

void Window::focusAfter(const QWidget *widget) const
{
    const int index = widget->property(IndexProperty).toInt();
    for (const ControlArrayBase *array : m_form.arrays()) {
        const Control *control = array->element(index);
        if (control && widgetOf(*control) == widget) {
            if (const Control *next = array->element(index + 1))
                if (QWidget *nextWidget = widgetOf(*next))
                    nextWidget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace platform::qt

#include "window.moc"
