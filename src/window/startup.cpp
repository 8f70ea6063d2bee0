#include "startup.h"

#include "form1.h"
#include "key/answerkey.h"
#include "platform/textfile.h"

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

    const std::u16string keyPath = answerKeyPath(form.services().programDirectory());
    if (!platform::fileExists(keyPath))
        form.services().messageBox(MissingKeyMessage, ApplicationTitle);

    // Tested again: the user may have written the key while the message was open.
    if (platform::fileExists(keyPath))
        LoadAnswerKey(form);
}
