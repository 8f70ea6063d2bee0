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
