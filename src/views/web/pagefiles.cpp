// Writes the page's files from their templates with the program's own constants in place of @TITLE@ (the
// window's caption), @KEY@ (the answer key's file name) and @WIDTH@ (the window's width in CSS pixels), so
// that the page says each as the program does. Run by the build under node:
//
//     quillmark_page TEMPLATE OUTPUT [TEMPLATE OUTPUT ...]

#include "key/answerkey.h"
#include "platform/runtime/view.h"
#include "platform/text/text.h"
#include "window/form1.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

int main(int argc, char **argv)
{
    const std::pair<std::string, std::string> constants[] = {
        {"@TITLE@", platform::toUtf8(ApplicationTitle)},
        {"@KEY@", platform::toUtf8(AnswerKeyFileName)},
        {"@WIDTH@", std::to_string(platform::twipsToPixels(Form1::ClientWidth, 96))},
    };
    for (int i = 1; i + 1 < argc; i += 2) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof())
            return 1;
        for (const auto &[name, value] : constants) {
            for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += value.size())
                text.replace(at, name.size(), value);
        }
        std::ofstream out(argv[i + 1], std::ios::binary);
        if (!(out << text))
            return 1;
    }
    return 0;
}
