#include "qtdriver.h"

#include "platform/forms/controlarray.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

std::u16string accessibleText(QWidget *widget, QAccessible::Text text)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? views::qt::toU16String(accessible->text(text)) : std::u16string();
}

class QtDriver final : public Driver {
public:
    explicit QtDriver(platform::Form &form)
        : m_form(form)
        , m_window(form)
    {
    }

    views::qt::Window &window() { return m_window; }

    void show() override
    {
        m_window.show();
        m_window.activateWindow();
        if (!QTest::qWaitForWindowActive(&m_window))
            qWarning("window not active");
        settle();
    }

    void click(const platform::CommandButton &button) override
    {
        if (QWidget *widget = widgetOf(button))
            QTest::mouseClick(widget, Qt::LeftButton);
        settle();
    }

    void type(const platform::TextBox &box, std::u16string_view typed) override
    {
        auto *edit = qobject_cast<QLineEdit *>(widgetOf(box));
        if (!edit)
            FAIL("typing into a box without a widget");
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        const QString text = toQString(typed);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        for (qsizetype i = 0; i < text.size();) {
            if (text[i].unicode() < 0x80) {
                QTest::keyClick(edit, text[i++].toLatin1());
                continue;
            }
            // What a Chinese input method does: commit what it composed, here every character up to the next
            // ASCII one. A disabled box never has the focus an input method writes to.
            qsizetype end = i;
            while (end < text.size() && text[end].unicode() >= 0x80)
                ++end;
            if (edit->isEnabled()) {
                QInputMethodEvent event;
                event.setCommitString(text.mid(i, end - i));
                QCoreApplication::sendEvent(edit, &event);
            }
            i = end;
        }
        settle();
    }

    void press(Key key, platform::Modifiers modifiers) override
    {
        QWidget *target = m_window.focusWidget() ? m_window.focusWidget() : &m_window;
        Qt::KeyboardModifiers held;
        held.setFlag(Qt::ShiftModifier, modifiers.shift || key == Key::BackTab);
        held.setFlag(Qt::ControlModifier, modifiers.control);
        held.setFlag(Qt::AltModifier, modifiers.alt);
        held.setFlag(Qt::MetaModifier, modifiers.meta);
        // As a keyboard sends them: Shift+Tab arrives as Backtab.
        const Qt::Key code = key == Key::Enter ? Qt::Key_Return
            : held.testFlag(Qt::ShiftModifier) ? Qt::Key_Backtab
                                               : Qt::Key_Tab;
        QTest::keyClick(target, code, held);
        settle();
    }

    void activate() override
    {
        QWidget other;
        other.show();
        for (QWidget *window : {&other, static_cast<QWidget *>(&m_window)}) {
            window->activateWindow();
            REQUIRE(QTest::qWaitForWindowActive(window));
        }
        settle();
    }

    void focus(const platform::Control &control) override
    {
        if (QWidget *widget = widgetOf(control))
            widget->setFocus(Qt::MouseFocusReason);
        settle();
    }

    bool tick() override
    {
        auto *clock = m_window.findChild<QTimer *>(
            QStringLiteral("timer %1").arg(platform::Runtime::FormTimerBase), Qt::FindDirectChildrenOnly);
        if (!clock || !clock->isActive())
            return false;
        // The event the timer's own interval sends it, without waiting for it: the timer times out.
        QTimerEvent event(clock->timerId());
        QCoreApplication::sendEvent(clock, &event);
        settle();
        return true;
    }

    void resize(int width, int height) override
    {
        m_window.resize(width, height);
        settle();
    }

    void settle() override { QCoreApplication::sendPostedEvents(&m_window, QEvent::MetaCall); }

    bool shown(const platform::Control &control) override { return widgetOf(control) != nullptr; }

    std::u16string text(const platform::Control &control) override
    {
        const QWidget *widget = widgetOf(control);
        QString text;
        if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
            text = edit->text();
        else if (const auto *label = qobject_cast<const QLabel *>(widget))
            text = label->text();
        else if (const auto *button = qobject_cast<const QPushButton *>(widget))
            text = button->text();
        return views::qt::toU16String(text);
    }

    bool enabled(const platform::Control &control) override
    {
        const QWidget *widget = widgetOf(control);
        return widget && widget->isEnabled();
    }

    bool visible(const platform::Control &control) override
    {
        const QWidget *widget = widgetOf(control);
        return widget && widget->isVisible();
    }

    platform::Colour background(const platform::Control &control) override
    {
        const QWidget *widget = widgetOf(control);
        return widget ? toColour(shownBackground(widget)) : 0;
    }

    platform::PixelRect rect(const platform::Control &control) override
    {
        const QWidget *widget = widgetOf(control);
        if (!widget)
            return {};
        const QRect geometry = widget->geometry();
        return {geometry.x(), geometry.y(), geometry.width(), geometry.height()};
    }

    std::vector<std::u16string> items(const platform::ListBox &list) override
    {
        std::vector<std::u16string> texts;
        if (const auto *widget = qobject_cast<const QListWidget *>(widgetOf(list)))
            for (int i = 0; i < widget->count(); ++i)
                texts.push_back(views::qt::toU16String(widget->item(i)->text()));
        return texts;
    }

    // What Qt tells a screen reader.
    std::optional<std::u16string> accessibleName(const platform::Control &control) override
    {
        return accessibleText(widgetOf(control), QAccessible::Name);
    }
    std::optional<std::u16string> accessibleDescription(const platform::Control &control) override
    {
        return accessibleText(widgetOf(control), QAccessible::Description);
    }
    // The alert the window shows for screen readers, as Qt tells them of it.
    std::optional<std::u16string> announced() override
    {
        auto *announcer = m_window.findChild<QWidget *>(QStringLiteral("announcement"));
        QAccessibleInterface *alert = announcer ? QAccessible::queryAccessibleInterface(announcer) : nullptr;
        if (!alert || alert->state().invisible || alert->role() != QAccessible::AlertMessage)
            return std::u16string();
        return views::qt::toU16String(alert->text(QAccessible::Name));
    }

    std::u16string selectedText(const platform::TextBox &box) override
    {
        const auto *edit = qobject_cast<const QLineEdit *>(widgetOf(box));
        return edit ? views::qt::toU16String(edit->selectedText()) : std::u16string();
    }

    const platform::Control *focused() override { return controlOf(m_form, m_window.focusWidget()); }

    const platform::Control *controlAt(int x, int y) override
    {
        const QWidget *widget = m_window.childAt(x, y);
        while (widget && widget->parentWidget() != &m_window)
            widget = widget->parentWidget(); // a list's viewport, say
        return controlOf(m_form, widget);
    }

    std::u16string title() override { return views::qt::toU16String(m_window.windowTitle()); }
    bool windowVisible() override { return m_window.isVisible(); }
    platform::PixelSize clientSize() override { return {m_window.width(), m_window.height()}; }

    std::optional<std::u16string> description() override
    {
        return accessibleText(&m_window, QAccessible::Description);
    }

    int nativeControls() override
    {
        return int(m_window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size());
    }

    int dpi() override { return 96; }

private:
    const platform::Form &m_form;
    views::qt::Window m_window;
};

} // namespace

std::unique_ptr<Driver> makeDriver(platform::Form &form)
{
    return std::make_unique<QtDriver>(form);
}

views::qt::Window &windowOf(TestForm &test)
{
    return static_cast<QtDriver &>(*test.view).window();
}

const platform::Control *controlOf(const platform::Form &form, const QWidget *widget)
{
    if (!widget)
        return nullptr;
    for (const platform::Control *control : form.controls())
        if (widgetOf(*control) == widget)
            return control;
    for (const platform::ControlArrayBase *array : form.arrays())
        for (int i = 1; i < array->end(); ++i)
            if (const platform::Control *element = array->element(i); element && widgetOf(*element) == widget)
                return element;
    return nullptr;
}

QColor shownBackground(const QWidget *widget)
{
    const QPalette::ColorGroup group = widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
    if (qobject_cast<const QLineEdit *>(widget))
        return widget->palette().color(group, QPalette::Base);
    return widget->autoFillBackground() ? widget->palette().color(group, QPalette::Window) : QColor();
}
