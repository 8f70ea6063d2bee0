#include "startup.h"

#include "form1.h"
#include "key/answerkey.h"
#include "platform/textfile.h"

QString browserCommandLine(bool onWindows, bool browserInstalled)
{
    return onWindows && browserInstalled ? BrowserPath + QLatin1Char(' ') + MakerAddress : QString();
}

void Form_Load(Form1 &form)
{
    // A browser that fails to start is no reason to stop the exam program.
    const QString browser
        = browserCommandLine(platform::OnWindows, platform::OnWindows && platform::fileExists(BrowserPath));
    if (!browser.isEmpty())
        form.services().startProgram(browser);
    else
        form.services().openUrl(MakerAddress);

    const QString keyPath = answerKeyPath(form.services().programDirectory());
    if (!platform::fileExists(keyPath))
        form.services().messageBox(MissingKeyMessage, ApplicationTitle);

    // Tested again: the user may have written the key while the message was open.
    if (platform::fileExists(keyPath))
        LoadAnswerKey(form);
}
