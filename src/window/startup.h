#pragma once

#include <string>
#include <string_view>

class Form1;

// The maker's web page, opened at start-up.
inline constexpr std::u16string_view MakerAddress = u"https://quillmark.example";

// The browser started by its installation path where that path exists; each separator is doubled, as the
// Windows command line tolerates.
inline constexpr std::u16string_view BrowserPath
    = u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe";

// The command line that opens the maker's page: the browser at BrowserPath on Windows when it is installed
// there. Empty otherwise, for the desktop's default browser: elsewhere that path is only a file name in
// whatever directory the program was started from, and must not decide anything.
std::u16string browserCommandLine(bool onWindows, bool browserInstalled);

inline constexpr std::u16string_view MissingKeyMessage = u"未找到“答案.txt”请在根目录下自行编辑后再加载。";

// The window's load: opens the maker's page, warns when the answer key is missing and loads it.
void Form_Load(Form1 &form);
