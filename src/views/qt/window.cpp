#include "window.h"

#include "native.h"
#include "text.h"

#include <QAccessibleWidget>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace views::qt {

namespace {

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

// What the program announces: an alert of no size, which screen readers present as it shows.
class Announcer final : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    static QAccessibleInterface *accessible(const QString &, QObject *object)
    {
        auto *announcer = qobject_cast<Announcer *>(object);
        return announcer ? new QAccessibleWidget(announcer, QAccessible::AlertMessage) : nullptr;
    }
};

} // namespace

Window::Window(platform::Form &form)
{
    setWindowIcon(programIcon());
    m_runtime = std::make_unique<platform::Runtime>(form, static_cast<platform::Toolkit &>(*this));
}

void Window::announce(const QString &text)
{
    if (!m_announcer) {
        static const bool installed = (QAccessible::installFactory(&Announcer::accessible), true);
        Q_UNUSED(installed);
        m_announcer = new Announcer(this);
        m_announcer->setObjectName(QStringLiteral("announcement"));
        m_announcer->setGeometry(0, 0, 0, 0);
    }
    // Hidden and shown again: the same words said twice are news too.
    m_announcer->hide();
    m_announcer->setAccessibleName(text);
    m_announcer->show();
}

Window::~Window()
{
    m_runtime.reset(); // its widgets, before QWidget's destructor deletes what remains
}

void Window::setLook(const platform::WindowLook &look)
{
    setWindowTitle(toQString(look.title));
    setFont(toQFont(look.font));
    resize(look.clientSize.width, look.clientSize.height);
}

std::unique_ptr<platform::NativeControl> Window::make(
    platform::Control::Kind kind, platform::PixelRect bounds)
{
    auto native = std::make_unique<Native>(kind, *this);
    native->setBounds(bounds);
    return native;
}

void Window::post()
{
    const auto afterEvent = [this] { m_runtime->afterEvent(); };
    QMetaObject::invokeMethod(this, afterEvent, Qt::QueuedConnection);
}

void Window::setTimer(int id, int milliseconds)
{
    QTimer *&clock = m_timers[id];
    if (!clock) {
        clock = new QTimer(this);
        clock->setObjectName(QStringLiteral("timer %1").arg(id));
        clock->setTimerType(Qt::PreciseTimer);
        connect(clock, &QTimer::timeout, this, [this, id] { m_runtime->timerElapsed(id); });
    }
    if (milliseconds > 0)
        clock->start(milliseconds);
    else
        clock->stop();
}

void Window::printed(const std::vector<std::u16string> &lines, std::u16string_view description)
{
    m_printed.clear();
    for (const auto &line : lines)
        m_printed.append(toQString(line));
    update();
    // A screen reader learns of the drawn lines as the window's description (its DescriptionChanged event).
    setAccessibleDescription(toQString(description));
}

void Window::setVisible(bool visible)
{
    if (visible)
        m_runtime->show();
    QWidget::setVisible(visible);
}

void Window::paintEvent(QPaintEvent *)
{
    m_runtime->painted();
    if (!std::exchange(m_paintedOnce, true))
        QMetaObject::invokeMethod(this, &warnWithoutChineseFont, Qt::QueuedConnection);

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

bool Window::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate: {
        // After Qt has given the focus back by its own rule.
        const auto activated = [this] { m_runtime->activated(); };
        QMetaObject::invokeMethod(this, activated, Qt::QueuedConnection);
        break;
    }
    case QEvent::KeyPress: // in the window itself, no control having the focus
        if (runtimeTakes(*m_runtime, nullptr, *static_cast<QKeyEvent *>(event)))
            return true;
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void Window::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_runtime->resized();
}

bool Window::focusNextPrevChild(bool next)
{
    // Qt moves the focus on by itself from a widget it disabled or hid: along the runtime's keyboard order.
    // Not while the widgets go, handing the focus on.
    platform::Modifiers modifiers;
    modifiers.shift = !next;
    return m_runtime && m_runtime->key(nullptr, platform::Key::Tab, modifiers);
}

} // namespace views::qt

#include "window.moc"
