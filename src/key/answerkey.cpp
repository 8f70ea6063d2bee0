#include "answerkey.h"

#include "platform/system/files.h"
#include "platform/system/textfile.h"

std::u16string answerKeyPath(std::u16string_view directory)
{
    return platform::joinPath(directory, AnswerKeyFileName);
}

void LoadAnswerKey(platform::ListBox &List1, std::u16string_view directory)
{
    List1.clear();
    const std::u16string path = answerKeyPath(directory);
    if (!platform::pathExists(path))
        return;
    const std::vector<std::u16string> lines = platform::readTextLines(path, KeyHeaderLines + KeyLines);
    // A line that could not be read leaves its questions without answers; it must not borrow another line's.
    for (int k = 0; k < KeyLines; ++k) {
        const auto line = size_t(KeyHeaderLines) + size_t(k);
        List1.addItem(line < lines.size() ? lines[line] : std::u16string());
    }
}
