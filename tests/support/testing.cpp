#include "testing.h"

#include "clock/countdown.h"
#include "key/answerkey.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>

void FakeServices::messageBox(const QString &text, const QString &title)
{
    messages.append({text, title, window && window->isVisible()});
    if (whileMessageOpen)
        whileMessageOpen();
}

bool FakeServices::startProgram(const QString &commandLine)
{
    programs.append(commandLine);
    return launchesSucceed;
}

bool FakeServices::openUrl(const QString &address)
{
    urls.append(address);
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
    services.window = form.get();
}

void TestForm::show()
{
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("window not exposed");
}

QString TestForm::keyPath() const
{
    return answerKeyPath(dir.path());
}

void click(const platform::CommandButton &button)
{
    QTest::mouseClick(button.widget(), Qt::LeftButton);
}

void type(const platform::TextBox &box, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(box.widget());
    if (!edit)
        qFatal("typing into a box without a widget");
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else if (edit->isEnabled()) {
            // What a Chinese input method does: commit the composed character. A disabled box never has the
            // focus an input method writes to.
            QInputMethodEvent event;
            event.setCommitString(c);
            QCoreApplication::sendEvent(edit, &event);
        }
    }
}

bool tick(TestForm &test, qint64 elapsed)
{
    if (!test->Timer1.isEnabled())
        return false;
    test.services.now
        = static_cast<qint32>(static_cast<quint32>(test->StartTick) + static_cast<quint32>(elapsed));
    test->deliver([&test] { Timer1_Timer(*test); });
    return true;
}

QColor shownBackground(const platform::TextBox &box)
{
    return box.widget()->palette().color(
        box.widget()->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Base);
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
            = control == &form.List1 ? control->widget()->isVisible() : control->widget()->isEnabled();
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
        texts.append(form.Text2[i].text());
    return texts;
}

void addNotANumberRows()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "abc";
    QTest::newRow("nan") << "nan";
    QTest::newRow("overflow") << "1e400";
    QTest::newRow("hexadecimal") << "0x10";
    QTest::newRow("comma") << ",";
}
