#include "startup.h"

#include "form1.h"
#include "key/answerkey.h"
#include "platform/system/textfile.h"

std::u16string browserCommandLine(bool onWindows, bool browserInstalled)
{
    if (!onWindows || !browserInstalled)
        return {};
    std::u16string line(BrowserPath);
    line += u' ';
    line += MakerAddress;
    return line;
}

void Form_Load(Form1 &form)
{
    // A browser that fails to start is no reason to stop the exam program.
    const std::u16string browser
        = browserCommandLine(platform::OnWindows, platform::OnWindows && platform::fileExists(BrowserPath));
    if (!browser.empty())
        form.services().startProgram(browser);
    else
        form.services().openUrl(MakerAddress);

    // A key that is there but cannot be read (another program holds it without sharing, the system refuses
    // it) is as good as none: said now, not found out when the exam grades to nothing. One that reads but
    // holds no answers is the user's own, and loads as it is.
    const std::u16string directory = form.services().programDirectory();
    const std::u16string keyPath = answerKeyPath(directory);
    if (!platform::fileReadable(keyPath))
        form.services().messageBox(MissingKeyMessage, ApplicationTitle);

    // Tested again: the user may have written the key, or let go of it, while the message was open.
    if (platform::fileReadable(keyPath))
        LoadAnswerKey(form.List1, directory);
}
