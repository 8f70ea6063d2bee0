#include "controlarray.h"

#include "window.h"

#include <QKeyEvent>
#include <QWidget>

#include <functional>
#include <utility>

namespace platform {

namespace {

const char IndexProperty[] = "quillmarkIndex";

// Enter or Return in a watched widget runs an action instead of reaching the widget.
class EnterFilter final : public QObject {
    Q_OBJECT

public:
    explicit EnterFilter(std::function<void(const QObject *)> onEnter, QObject *parent = nullptr)
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
                m_onEnter(watched);
                return true;
            }
        }
        return false;
    }

private:
    std::function<void(const QObject *)> m_onEnter;
};

} // namespace

ControlArrayBase::ControlArrayBase(Window &window, std::unique_ptr<Control> element0)
    : m_window(window)
{
    m_elements.push_back(std::move(element0));
    m_count = 1;
    m_window.m_arrays.push_back(this);
}

ControlArrayBase::~ControlArrayBase()
{
    std::erase(m_window.m_arrays, this);
    // Widgets go before the filter that watches them.
    m_elements.clear();
}

Control *ControlArrayBase::element(int index) const
{
    if (index < 0 || index >= int(m_elements.size()))
        return nullptr;
    return m_elements[size_t(index)].get();
}

bool ControlArrayBase::create(int index, std::unique_ptr<Control> copy)
{
    if (index < 1 || index > MaxIndex || element(index))
        return false;
    if (index >= int(m_elements.size()))
        m_elements.resize(size_t(index) + 1);
    m_elements[size_t(index)] = std::move(copy);
    ++m_count;
    m_window.controlsChanged();
    return true;
}

bool ControlArrayBase::destroy(int index)
{
    if (index < 1 || !element(index))
        return false;
    m_elements[size_t(index)].reset();
    --m_count;
    while (!m_elements.back())
        m_elements.pop_back();
    m_window.controlsChanged();
    return true;
}

void ControlArrayBase::sync(QRect client)
{
    QWidget *previous = m_tabAnchor ? m_tabAnchor->widget() : nullptr;
    for (size_t index = 1; index < m_elements.size(); ++index) {
        Control *control = m_elements[index].get();
        if (!control)
            continue;
        const bool inView = control->isVisible() && client.intersects(control->pixelGeometry());
        // A widget the user is working in stays, clipped, until the user leaves it: taking it would move the
        // focus and lose composed text.
        const bool held
            = !inView && control->widget() && control->isVisible() && Window::inUse(control->widget());
        if (inView && !control->widget()) {
            control->materialize();
            QWidget *widget = control->widget();
            // A widget may come from the window's spares: give it this element's identity in full.
            widget->setProperty(IndexProperty, int(index));
            widget->setAccessibleName(m_accessibleName.isEmpty() ? QString() : m_accessibleName.arg(index));
            if (m_enterMovesToNext) {
                if (!m_enterFilter)
                    m_enterFilter = std::make_unique<EnterFilter>(
                        [this](const QObject *watched) { focusAfter(watched); });
                widget->installEventFilter(m_enterFilter.get());
            }
            if (previous && widget->focusPolicy() != Qt::NoFocus)
                QWidget::setTabOrder(previous, widget);
        } else if (!inView && !held && control->widget()) {
            control->dematerialize();
        }
        if (control->widget() && control->widget()->focusPolicy() != Qt::NoFocus)
            previous = control->widget();
    }
}

void ControlArrayBase::focusAfter(const QObject *widget) const
{
    const int index = widget->property(IndexProperty).toInt();
    if (const Control *next = element(index + 1); next && next->widget())
        next->widget()->setFocus(Qt::TabFocusReason);
}

} // namespace platform

#include "controlarray.moc"
