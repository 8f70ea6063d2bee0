#include "testing.h"

#include "clock/countdown.h"
#include "key/answerkey.h"

#include <QFile>
#include <QHash>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStringEncoder>
#include <QTest>

void FakeServices::messageBox(std::u16string_view text, std::u16string_view title)
{
    messages.append(
        {toQString(text), toQString(title), window && window->isVisible(), programs.size() + urls.size()});
    if (whileMessageOpen)
        whileMessageOpen();
}

bool FakeServices::startProgram(std::u16string_view commandLine)
{
    programs.append(toQString(commandLine));
    return launchesSucceed;
}

bool FakeServices::openUrl(std::u16string_view address)
{
    urls.append(toQString(address));
    return launchesSucceed;
}

QByteArray keyFileBytes(const QStringList &keyLines, const char *encoding, const QString &header)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(
        (QStringList{header} + keyLines).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QByteArray sampleKeyBytes()
{
    QFile file(QStringLiteral(QUILLMARK_SAMPLE_KEY));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("sample key missing: %s", QUILLMARK_SAMPLE_KEY);
    return file.readAll();
}

TestForm::TestForm(const std::optional<QByteArray> &key)
{
    services.directory = dir.path();
    if (key) {
        QFile file(keyPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(*key) != key->size())
            qFatal("cannot write the test key");
    }
    form = std::make_unique<Form1>(services);
    window = std::make_unique<platform::qt::Window>(*form);
    services.window = window.get();
}

void TestForm::show()
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("window not exposed");
}

void TestForm::close()
{
    window.reset();
    form.reset();
}

QString TestForm::keyPath() const
{
    return toQString(answerKeyPath(platform::qt::toU16String(dir.path())));
}

platform::qt::Window &windowOf(const Form1 &form)
{
    return *static_cast<platform::qt::Window *>(widgetOf(form.Command5)->window());
}

namespace {

Form1 &formOf(const platform::Control &control)
{
    return static_cast<Form1 &>(control.form());
}

// The element's widget, when it should have one; checks the rule for having one.
QWidget *checkedWidget(const Form1 &form, const platform::Control &control, const QString &name)
{
    QWidget *widget = widgetOf(control);
    const QWidget &window = windowOf(form);
    const bool inView = control.isVisible() && window.rect().intersects(pixelGeometry(control));
    const bool focused = widget && control.isVisible() && window.focusWidget() == widget;
    if (bool(widget) != (inView || focused)) {
        QTest::qFail(qPrintable(name
                         + (widget ? QStringLiteral(" has a widget out of view")
                                   : QStringLiteral(" in view has no widget"))),
            __FILE__, __LINE__);
        return nullptr;
    }
    if (widget && widget->geometry() != pixelGeometry(control)) {
        QTest::qFail(qPrintable(name + QStringLiteral(" shown in the wrong place")), __FILE__, __LINE__);
        return nullptr;
    }
    if (widget && (!widget->isVisibleTo(&window) || widget->isEnabled() != control.isEnabled())) {
        QTest::qFail(
            qPrintable(name + QStringLiteral(" shown hidden, or locked wrongly")), __FILE__, __LINE__);
        return nullptr;
    }
    return widget;
}

} // namespace

void settle(Form1 &form)
{
    QCoreApplication::sendPostedEvents(&windowOf(form), QEvent::MetaCall);
}

void checkControls(Form1 &form)
{
    settle(form);
    QSet<const QWidget *> owned;
    // Checks each element of array that has a widget, whose own properties check() compares.
    const auto checkArray = [&](const auto &array, const QString &noun, const auto &check) {
        for (int i = 1; i < array.count() && !QTest::currentTestFailed(); ++i) {
            const auto *element = array.at(i);
            if (!element)
                continue;
            const QString name = noun.arg(i);
            QWidget *widget = checkedWidget(form, *element, name);
            if (!widget)
                continue;
            QVERIFY2(!owned.contains(widget), qPrintable(name + QStringLiteral(" shares its widget")));
            owned.insert(widget);
            check(i, *element, widget, name);
        }
    };

    QHash<const QWidget *, int> boxes;
    checkArray(form.Text2, QStringLiteral("box %1"),
        [&](int i, const platform::TextBox &box, QWidget *widget, const QString &name) {
            auto *edit = qobject_cast<QLineEdit *>(widget);
            boxes.insert(edit, i);
            QVERIFY2(edit->text() == toQString(box.text()),
                qPrintable(name + QStringLiteral(" shows another text")));
            QVERIFY2(edit->accessibleName() == QStringLiteral("第 %1 题").arg(i),
                qPrintable(name + QStringLiteral(" is named ") + edit->accessibleName()));
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                QVERIFY2(edit->palette().color(group, QPalette::Base) == toQColor(box.backColor()),
                    qPrintable(name + QStringLiteral(" shows another colour")));
        });
    checkArray(form.Label1, QStringLiteral("number %1"),
        [](int, const platform::Label &label, QWidget *widget, const QString &name) {
            QVERIFY2(qobject_cast<QLabel *>(widget)->text() == toQString(label.caption()),
                qPrintable(name + QStringLiteral(" shows another text")));
        });
    if (QTest::currentTestFailed())
        return;

    // Tab from Restart walks the boxes that have widgets, by question number, then leaves the sheet.
    QList<int> walked;
    QWidget *const start = widgetOf(form.Command5);
    for (QWidget *widget = start->nextInFocusChain(); widget != start; widget = widget->nextInFocusChain()) {
        if (!widget->isVisibleTo(&windowOf(form)) || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        const auto box = boxes.constFind(widget);
        if (box == boxes.constEnd())
            break;
        walked.append(*box);
    }
    QList<int> expected = boxes.values();
    std::sort(expected.begin(), expected.end());
    QCOMPARE(walked, expected);
}

void click(const platform::CommandButton &button)
{
    QTest::mouseClick(widgetOf(button), Qt::LeftButton);
    if (checkEveryAction)
        checkControls(formOf(button));
}

void type(const platform::TextBox &box, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(box));
    if (!edit)
        qFatal("typing into a box without a widget");
    edit->setFocus();
    edit->selectAll();
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
    if (checkEveryAction)
        checkControls(formOf(box));
}

bool tick(TestForm &test, qint64 elapsed)
{
    if (!test->Timer1.isEnabled())
        return false;
    test.services.now = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(test->StartTick) + static_cast<std::uint32_t>(elapsed));
    test->deliver([&test] { Timer1_Timer(*test); });
    if (checkEveryAction)
        checkControls(*test);
    return true;
}

QColor shownBackground(const platform::TextBox &box)
{
    const QWidget *widget = widgetOf(box);
    return widget->palette().color(
        widget->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Base);
}

QString phaseOf(const Form1 &form)
{
    QStringList on;
    const std::pair<const char *, const platform::Control *> controls[]
        = {{"Prepare", &form.Command1}, {"Results", &form.Command2}, {"Start", &form.Command3},
            {"HandIn", &form.Command4}, {"Restart", &form.Command5}, {"count", &form.Text1},
            {"minutes", &form.Text2[0]}, {"key", &form.List1}};
    for (const auto &[name, control] : controls) {
        const bool live
            = control == &form.List1 ? widgetOf(*control)->isVisible() : widgetOf(*control)->isEnabled();
        if (live)
            on.append(QLatin1String(name));
    }
    if (form.Timer1.isEnabled())
        on.append(QStringLiteral("clock"));
    for (int i = 1; i < form.Text2.count(); ++i) {
        if (form.Text2[i].isEnabled()) {
            on.append(QStringLiteral("boxes"));
            break;
        }
    }
    return on.join(QLatin1Char(' '));
}

QStringList answers(const Form1 &form)
{
    QStringList texts;
    for (int i = 1; i < form.Text2.count(); ++i)
        texts.append(toQString(form.Text2[i].text()));
    return texts;
}

QStringList items(const Form1 &form)
{
    QStringList result;
    for (int i = 0; i < form.List1.count(); ++i)
        result.append(toQString(form.List1.item(i)));
    return result;
}

QList<std::pair<const char *, QString>> notANumberTexts()
{
    return {{"empty", QString()}, {"letters", u"abc"_qs}, {"nan", u"nan"_qs}, {"overflow", u"1e400"_qs},
        {"hexadecimal", u"0x10"_qs}, {"comma", u","_qs}};
}

void addNotANumberRows()
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : notANumberTexts())
        QTest::newRow(name) << text;
}
