#include "answerkey.h"

#include "platform/textfile.h"
#include "window/form1.h"

#include <QDir>

QString answerKeyPath(const QString &directory)
{
    // QDir adds the separator unless the directory, a root such as / or C:/, ends in one already.
    return QDir(directory).filePath(AnswerKeyFileName);
}

void LoadAnswerKey(Form1 &form)
{
    form.List1.clear();
    const QString path = answerKeyPath(form.services().programDirectory());
    if (!platform::pathExists(path))
        return;
    const QStringList lines = platform::readTextLines(path, KeyHeaderLines + KeyLines);
    // A line that could not be read leaves its questions without answers; it must not borrow another line's.
    for (int k = 0; k < KeyLines; ++k)
        form.List1.addItem(lines.value(KeyHeaderLines + k));
}
