#pragma once

// What every test shares, on doctest and without any toolkit: texts shown readably when a check fails,
// scratch directories, fake services, a Form1 in a folder of its own shown by the view under test, what a
// user does to it, and what a user sees of it.

#include "driver.h"
#include "window/form1.h"

#include <doctest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Lines = std::vector<std::u16string>;
namespace fs = std::filesystem;

namespace doctest {

template <> struct StringMaker<std::u16string> {
    static String convert(const std::u16string &text)
    {
        std::string shown = "u\"";
        for (const char16_t c : text) {
            if (c >= 0x20 && c < 0x7F) {
                shown += static_cast<char>(c);
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
                shown += escaped;
            }
        }
        return (shown + '"').c_str();
    }
};

template <> struct StringMaker<platform::Rgb> {
    static String convert(platform::Rgb rgb)
    {
        return ("rgb(" + std::to_string(rgb.red) + ", " + std::to_string(rgb.green) + ", "
            + std::to_string(rgb.blue) + ")")
            .c_str();
    }
};

template <> struct StringMaker<Lines> {
    static String convert(const Lines &lines)
    {
        String shown = "{";
        for (const auto &line : lines)
            shown += StringMaker<std::u16string>::convert(line) + " ";
        return shown + "}";
    }
};

} // namespace doctest

// A fresh directory under the system's temporary one, removed with everything in it.
struct TempDir {
    TempDir()
    {
        std::random_device random;
        for (std::error_code error; !fs::create_directory(path, error);)
            path = fs::temp_directory_path() / ("quillmark-test-" + std::to_string(random()));
    }
    ~TempDir()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    fs::path path;
};

inline void writeFile(const fs::path &path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Services that record what the program asks of the system and let a test set the time.
struct FakeServices final : platform::Services {
    struct Message {
        std::u16string text;
        std::u16string title;
        bool windowShown = false;
        std::size_t launchesBefore = 0; // programs started and addresses opened before it
    };

    std::int32_t now = 0;
    std::u16string directory;
    std::vector<Message> messages;
    Lines programs;
    Lines urls;
    int beeps = 0;
    bool launchesSucceed = true;
    std::function<bool()> windowShown; // whether the window shows, when a message comes
    std::function<void()> whileMessageOpen;

    std::int32_t tickCount() override { return now; }
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    bool startProgram(std::u16string_view commandLine) override;
    bool openUrl(std::u16string_view address) override;
    std::u16string programDirectory() override { return directory; }
    void beep() override { ++beeps; }
};

// A check that cannot run for want of something the machine lacks (a font, a style, a file that can be kept
// from the program): says so, and fails where the test command promises every one (QUILLMARK_NO_SKIPS=1).
void skipped(const char *what);

// A key file's bytes: a header and the key lines, CR LF after each. GBK by default, as Notepad saves "ANSI"
// on a Chinese system (the header 答案 in GBK); lines in UTF-8 want a header in UTF-8 too.
inline constexpr std::string_view GbkHeader = "\xB4\xF0\xB0\xB8";
std::string keyFileBytes(const std::vector<std::string> &keyLines, std::string_view header = GbkHeader);
inline std::string utf8KeyFileBytes(const std::vector<std::string> &keyLines)
{
    return keyFileBytes(keyLines, "答案");
}

// Whether the system has files that can be kept from the program: not a page's, nor node's.
#ifdef __EMSCRIPTEN__
inline constexpr bool CanKeepFiles = false;
#else
inline constexpr bool CanKeepFiles = true;
#endif

// Makes a file unreadable to this program while it lives: held open without sharing, as another program holds
// it, on Windows; without read permission elsewhere, for root too, who gives up meanwhile the right to read
// every file. locked() is false where the system has no such thing (the files of a page, node's).
class Unreadable {
public:
    explicit Unreadable(const fs::path &file);
    ~Unreadable();
    Unreadable(const Unreadable &) = delete;
    Unreadable &operator=(const Unreadable &) = delete;
    bool locked() const { return m_locked; }

private:
    fs::path m_file;
    [[maybe_unused]] void *m_handle = nullptr; // Windows'
    [[maybe_unused]] unsigned m_savedCapabilities[2] = {}; // Linux's effective ones
    bool m_locked = false;
};

// The sample key shipped with the program: a title and 33 lines, the first ACABD.
std::string sampleKeyBytes();

// The key list's 33 items: the given ones, then empty ones.
inline Lines padded(Lines first)
{
    first.resize(33);
    return first;
}

// Text as UTF-16 bytes with no byte-order mark, in either byte order, as some tools save a key.
inline std::string utf16Bytes(std::u16string_view text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// A Form1 on fake services in a folder of its own, holding a key file with the given bytes (none: no file),
// shown by the view under test.
class TestForm {
public:
    explicit TestForm(const std::optional<std::string> &key = sampleKeyBytes());
    ~TestForm() { close(); }
    TestForm(const TestForm &) = delete;
    TestForm &operator=(const TestForm &) = delete;

    // Shows the window, which runs its load first.
    void show();
    // Closes the window, which ends the program.
    void close();

    fs::path keyPath() const;

    Form1 *operator->() const { return form.get(); }
    Form1 &operator*() const { return *form; }

    TempDir dir;
    FakeServices services;
    std::unique_ptr<Form1> form;
    std::unique_ptr<Driver> view; // goes before its form
};

// What a user does. Each ends with checkControls(), unless a benchmark turns that off: the check is not what
// it times.
inline bool checkEveryAction = true;
void click(TestForm &test, const platform::CommandButton &button);
void type(TestForm &test, const platform::TextBox &box, std::u16string_view text);
void press(TestForm &test, Driver::Key key, platform::Modifiers modifiers = {});
void resize(TestForm &test, int width, int height);
// The exam's actions: Prepare (with the count typed first, where one is given), Start (likewise with the
// minutes), Hand in, Results and Restart, and an answer typed into the box of a question.
void prepare(TestForm &test, std::optional<std::u16string_view> count = std::nullopt);
void start(TestForm &test, std::optional<std::u16string_view> minutes = std::nullopt);
// Start with the minutes typed first, and the tick count at startTick.
void startAt(TestForm &test, std::u16string_view minutes, std::int32_t startTick = 1000);
void handIn(TestForm &test);
void results(TestForm &test);
void restart(TestForm &test);
void typeInto(TestForm &test, int question, std::u16string_view answer);
// Prepares a box for each answer, starts the exam, types the answers that are not empty and hands in; and
// then presses Results.
void sitExam(TestForm &test, const Lines &typed);
void gradeExam(TestForm &test, const Lines &typed);
// A tick of the exam clock `elapsed` milliseconds after Start, as the timer delivers it: only while it runs.
// Returns whether it was delivered.
bool tick(TestForm &test, std::int64_t elapsed);

// Checks the whole window against its controls, as QAbstractItemModelTester checks a model: every element of
// every control array has a native control exactly when it is visible and in view, or visible with the focus;
// each native shows its element's text, state, place, name and colour.
void checkControls(TestForm &test);

// Which buttons, boxes, clock and key list are live, as the user sees them: the exam's phase, such as
// "Prepare Start count minutes boxes" (see the constants below).
std::string phaseOf(TestForm &test);
inline const std::string Ready = "Prepare Start count minutes";
inline const std::string ReadyWithSheet = "Prepare Start count minutes boxes";
inline const std::string Running = "HandIn clock boxes";
inline const std::string HandedIn = "Results";
inline const std::string Graded = "Results Restart key";

// The texts of the answer boxes in question order, the items of the key list, and the green boxes' numbers
// ("1 4 5").
Lines answers(const Form1 &form);
Lines items(const Form1 &form);
std::string greenBoxes(const Form1 &form);

// Each kind of text that is no number at all, named.
const std::vector<std::pair<const char *, std::u16string>> &notANumberTexts();

// WCAG 2's relative luminance of a colour 0x00BBGGRR, and the contrast ratio of two.
double luminance(platform::Colour colour);
double contrast(platform::Colour a, platform::Colour b);
