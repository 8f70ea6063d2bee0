#include "startup.h"

#include "form1.h"
#include "key/answerkey.h"
#include "platform/textfile.h"

void Form_Load(Form1 &form)
{
    // A browser that fails to start is no reason to stop the exam program.
    if (platform::fileExists(BrowserPath))
        form.services().startProgram(BrowserPath + QLatin1Char(' ') + MakerAddress);
    else
        form.services().openUrl(MakerAddress);

    const QString keyPath = answerKeyPath(form.services().programDirectory());
    if (!platform::fileExists(keyPath))
        form.services().messageBox(MissingKeyMessage, ApplicationTitle);

    // Tested again: the user may have written the key while the message was open.
    if (platform::fileExists(keyPath))
        LoadAnswerKey(form);
}
