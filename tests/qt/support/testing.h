#pragma once

#include "platform/qt/peer.h"
#include "platform/qt/text.h"
#include "platform/qt/window.h"
#include "platform/services.h"
#include "window/form1.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using platform::qt::pixelGeometry;
using platform::qt::toQColor;
using platform::qt::toQString;
using platform::qt::widgetOf;

// The program's UTF-16 texts compared with Qt's, which hold the same code units.
namespace QTest {
inline bool qCompare(const std::u16string &t1, const QString &t2, const char *actual, const char *expected,
    const char *file, int line)
{
    return qCompare(toQString(t1), t2, actual, expected, file, line);
}

inline bool qCompare(const std::vector<std::u16string> &t1, const QStringList &t2, const char *actual,
    const char *expected, const char *file, int line)
{
    QStringList list;
    for (const auto &text : t1)
        list.append(toQString(text));
    return qCompare(list, t2, actual, expected, file, line);
}
} // namespace QTest

// Services that record what the program asks of the system and let a test set the time.
class FakeServices final : public platform::Services {
public:
    struct Message {
        QString text;
        QString title;
        bool windowShown = false;
        qsizetype launchesBefore = 0; // programs started and addresses opened before it
    };

    std::int32_t now = 0;
    QString directory;
    QList<Message> messages;
    QStringList programs;
    QStringList urls;
    int beeps = 0;
    bool launchesSucceed = true;
    const QWidget *window = nullptr; // to tell whether a message came before the window showed
    std::function<void()> whileMessageOpen;

    std::int32_t tickCount() override { return now; }
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    bool startProgram(std::u16string_view commandLine) override;
    bool openUrl(std::u16string_view address) override;
    std::u16string programDirectory() override { return platform::qt::toU16String(directory); }
    void beep() override { ++beeps; }
};

// A key file's bytes: a header and the key lines, CR LF after each, in an encoding Qt knows by name.
QByteArray keyFileBytes(const QStringList &keyLines, const char *encoding = "GB18030",
    const QString &header = QStringLiteral("答案"));

// The sample key shipped with the program.
QByteArray sampleKeyBytes();

// A form on fake services in a directory of its own, holding a key file with the given bytes (none: no
// file), shown in a Qt window.
class TestForm {
public:
    explicit TestForm(const std::optional<QByteArray> &key = sampleKeyBytes());
    ~TestForm() { close(); }

    // Shows the window, which runs its load first.
    void show();
    // Closes the window, which ends the program.
    void close();

    QString keyPath() const;

    FakeServices services;
    QTemporaryDir dir;
    std::unique_ptr<Form1> form;
    std::unique_ptr<platform::qt::Window> window; // goes before its form

    Form1 *operator->() const { return form.get(); }
    Form1 &operator*() const { return *form; }
};

// The window that shows form.
platform::qt::Window &windowOf(const Form1 &form);

// What a user does: click a button, replace a box's text by typing. Each ends with checkControls(), unless a
// benchmark turns that off: the check is not what it times.
inline bool checkEveryAction = true;
void click(const platform::CommandButton &button);
void type(const platform::TextBox &box, const QString &text);

// Lets the window finish what it does once the current event is over (releasing a widget the user has left),
// without running timers.
void settle(Form1 &form);

// Checks the whole window against its controls, as QAbstractItemModelTester checks a model: for every element
// of every array, a widget exists exactly when the element is visible and in view, or its widget is the focus
// widget; each widget shows its element's text, colours, enabled state, accessible name and place, and no two
// elements share one; the answer boxes follow Restart in the keyboard order by question number. Fails the
// current test through QVERIFY (see QTest::currentTestFailed()).
void checkControls(Form1 &form);

// One tick of the exam clock, `elapsed` milliseconds after Start, delivered as the timer delivers it: only
// while the timer is enabled. Returns whether it was delivered.
bool tick(TestForm &test, qint64 elapsed);

// Items of the key list.
QStringList items(const Form1 &form);

// Which buttons, boxes, clock and key list are live: the exam's phase as the user sees it, such as
// "Prepare Start count minutes boxes" (see the constants below).
QString phaseOf(const Form1 &form);
inline const QString Ready = QStringLiteral("Prepare Start count minutes");
inline const QString ReadyWithSheet = QStringLiteral("Prepare Start count minutes boxes");
inline const QString Running = QStringLiteral("HandIn clock boxes");
inline const QString HandedIn = QStringLiteral("Results");
inline const QString Graded = QStringLiteral("Results Restart key");

// Each kind of text that is no number at all, with a row name for it.
QList<std::pair<const char *, QString>> notANumberTexts();

// Adds a QString column "text" and a row for each of notANumberTexts().
void addNotANumberRows();

// The texts of the answer boxes, in question order.
QStringList answers(const Form1 &form);

// The colour a box shows behind its text.
QColor shownBackground(const platform::TextBox &box);
