#include "testing.h"

#include <algorithm>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

// Every bad input the user or the key file can give: the program keeps running, each action leads to the
// phase it should, and no answer already typed changes unless a new sheet replaces it.

namespace {

const Lines Typed{u"A", u"B", u"丙", u"", u"E"};

// Ready with a sheet of five boxes holding Typed.
void readyWithAnswers(TestForm &test)
{
    prepare(test, u"5");
    for (size_t i = 0; i < Typed.size(); ++i)
        if (!Typed[i].empty())
            typeInto(test, int(i) + 1, Typed[i]);
}

// Ready again after a whole exam on that sheet, whose boxes are now locked.
void readyAfterRestart(TestForm &test)
{
    readyWithAnswers(test);
    start(test);
    handIn(test);
    results(test);
    restart(test);
}

// Runs check in a window brought to each phase in which the count and the minutes can be typed, with the
// phase as it was before the check.
template <class Check> void inEveryReadyPhase(Check check)
{
    using Setup = void (*)(TestForm &);
    const std::pair<const char *, Setup> phases[] = {
        {"first Ready", readyWithAnswers},
        {"Ready after Restart", readyAfterRestart},
    };
    for (const auto &phase : phases) {
        const auto &[name, setup] = phase;
        INFO(std::string(phase.first));
        TestForm test(keyFileBytes({"ABCDE"}));
        test.show();
        setup(test);
        check(test, phaseOf(test));
    }
}

// Start, one tick, Hand in and Results: the rest of an exam, whatever came before.
void finishExam(TestForm &test)
{
    type(test, test->Text2[0], u"130");
    start(test);
    CHECK(phaseOf(test).starts_with("HandIn clock"));
    CHECK(tick(test, 800));
    handIn(test);
    CHECK(phaseOf(test) == HandedIn);
    results(test);
    CHECK(phaseOf(test) == Graded);
}

} // namespace

TEST_CASE("the question count, in every phase that takes it")
{
    // The count as its box holds it, the sheet Prepare makes of it (-1: refused, the sheet stays), and the
    // score when grading reads it with the boxes holding A, B, 丙, nothing and E against ABCDE (3 where a
    // count past the sheet's limit grades the five boxes there are, 0 where it is no number and grades none).
    struct Row {
        std::string name;
        std::u16string text;
        int boxes;
        std::u16string_view score;
    };
    std::vector<Row> rows;
    for (const auto &[name, text] : notANumberTexts())
        rows.push_back({name, text, -1, u"0"});
    const Row more[] = {
        {"-0", u"-0", 0, u"0"},
        {"decimal comma", u"2,5", -1, u"0"},
        {"space inside", u"1 2", -1, u"0"},
        {"full-width digits", u"１３０", 130, u"0"},
        {"ideographic spaces", u"\u3000７\u3000", 7, u"0"},
        {"full-width minus", u"－３", 0, u"0"},
        {"underflow", u"5e-400", 0, u"0"},
        {"at the element limit", u"32767", 32767, u"0"},
        {"a fraction below the limit", u"32767.9", 32767, u"0"},
        {"just past the limit", u"32768", -1, u"3"},
        {"far past the limit", u"1e9", -1, u"3"},
        {"far below zero", u"-1e300", 0, u"0"},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    for (const Row &row : rows) {
        INFO(row.name);
        inEveryReadyPhase([&row](TestForm &test, const std::string &before) {
            type(test, test->Text1, row.text);
            prepare(test);
            if (row.boxes < 0) {
                CHECK(answers(*test) == Typed);
                CHECK(phaseOf(test) == before);
                CHECK(test.services.beeps == 1);
            } else {
                CHECK(test->Text2.count() == row.boxes + 1);
                CHECK(phaseOf(test) == (row.boxes > 0 ? ReadyWithSheet : Ready));
            }
            // The count stays in its box and reaches grading too; the sheet keeps its answers.
            finishExam(test);
            CHECK(test.view->text(test->Text3) == row.score);
            CHECK(answers(*test) == (row.boxes < 0 ? Typed : Lines(std::size_t(row.boxes))));
            CHECK(test.view->windowVisible());
        });
    }
}

TEST_CASE("the minutes, in every phase that takes them")
{
    std::vector<std::tuple<std::string, std::u16string, bool>> rows;
    for (const auto &[name, text] : notANumberTexts())
        rows.emplace_back(name, text, false);
    const std::tuple<const char *, std::u16string, bool> more[] = {
        {"-0", u"-0", true},
        {"full-width digits", u"１３０", true},
        {"ideographic spaces", u"\u3000１\u3000", true},
        {"negative", u"－１", true},
        {"underflow", u"1e-400", true},
        {"at the clock's limit", u"35791", true},
        {"past the clock's limit", u"35792", false},
        {"past the 32-bit limit", u"35791394.2", false},
        {"at the negative limit", u"-35791394.1", true},
        {"past the negative limit", u"-35791394.2", false},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    for (const auto &row : rows) {
        INFO(std::get<0>(row));
        const std::u16string &text = std::get<1>(row);
        const bool starts = std::get<2>(row);
        inEveryReadyPhase([&](TestForm &test, const std::string &before) {
            type(test, test->Text2[0], text);
            start(test);
            CHECK(answers(*test) == Typed);
            if (!starts) {
                CHECK(phaseOf(test) == before);
                CHECK(test.services.beeps == 1);
                return;
            }
            CHECK(phaseOf(test).starts_with("HandIn clock"));
            for (const std::int64_t elapsed :
                {std::int64_t(800), std::int64_t(60'000), std::int64_t(4'000'000'000)})
                tick(test, elapsed);
            handIn(test);
            CHECK(phaseOf(test) == HandedIn);
            results(test);
            CHECK(phaseOf(test) == Graded);
            CHECK(answers(*test) == Typed);
        });
    }
}

TEST_CASE("odd key files")
{
    std::string binary;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245 + 12345;
        binary += char(seed >> 24);
    }
    const struct {
        const char *name;
        std::string bytes;
        std::string special; // something other than a file of those bytes at the key path
        int items;
    } rows[] = {
        {"empty", "", "", 33},
        {"header only", "header", "", 33},
        {"binary", binary, "", 33},
        {"one line of 50 MB", std::string(50'000'000, 'A'), "", 33},
        // No byte-order mark: FF FF starts none, so these bytes reach the GBK decoder.
        {"invalid GBK", "\xff\xff\xfe\r\n\x81\x20\x80\xff\r\n", "", 33},
        {"byte-order mark and nothing after", "\xEF\xBB\xBF", "", 33},
        {"a directory", "", "directory", 0},
        {"held from the program", keyFileBytes({"ABCDE"}), "unreadable", 0},
#ifndef _WIN32
#ifndef __EMSCRIPTEN__ // node's files have no pipes
        {"a pipe", "", "fifo", 0},
#endif
        {"a link to an endless device", "", "/dev/zero", 0},
        {"a link to nothing", "", "dangling", 0},
#endif
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        TestForm test(
            row.special.empty() || row.special == "unreadable" ? std::optional(row.bytes) : std::nullopt);
        const fs::path path = test.keyPath();
        std::optional<Unreadable> held;
        if (row.special == "directory")
            fs::create_directory(path);
        else if (row.special == "unreadable" && !held.emplace(path).locked()) {
            if (CanKeepFiles)
                skipped("no file can be kept from this program here");
            continue;
        }
#ifndef _WIN32
        else if (row.special == "fifo")
            REQUIRE(mkfifo(path.c_str(), 0600) == 0);
        else if (row.special == "/dev/zero" || row.special == "dangling")
            fs::create_symlink(row.special == "dangling" ? "nowhere" : "/dev/zero", path);
#endif
        test.show();
        CHECK(test.view->windowVisible());
        CHECK(test->List1.count() == row.items);
        CHECK(test.services.messages.size() == (row.items == 0 ? 1u : 0u));
        for (int i = 0; i < row.items; ++i)
            CHECK(test->List1.item(i).size() <= 1024);

        readyWithAnswers(test);
        finishExam(test);
        CHECK(answers(*test) == Typed);
    }
}

namespace {

// Every entry below dir with its size, time and content.
std::vector<std::string> snapshot(const fs::path &dir)
{
    std::vector<std::string> entries;
    for (const auto &entry : fs::recursive_directory_iterator(dir)) {
        std::ostringstream line;
        line << entry.path().lexically_relative(dir).string() << ' '
             << static_cast<long long>(entry.last_write_time().time_since_epoch().count());
        if (entry.is_regular_file()) {
            std::ifstream file(entry.path(), std::ios::binary);
            line << ' ' << entry.file_size() << ' '
                 << std::hash<std::string>{}(
                        std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
        }
        entries.push_back(line.str());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

TEST_CASE("an exam writes nothing")
{
    TestForm test(keyFileBytes({"ABCDE"}));
    fs::create_directory(test.dir.path / "notes");
    const std::vector<std::string> before = snapshot(test.dir.path);
    CHECK(before.size() == 2);

    test.show();
    readyWithAnswers(test);
    start(test);
    CHECK(tick(test, 800));
    CHECK(tick(test, 100'000'000)); // time-out
    handIn(test);
    results(test);
    restart(test);
    prepare(test);
    test.close(); // the window closes

    CHECK(snapshot(test.dir.path) == before);
}

TEST_CASE("counts that lay out fewer boxes than they say")
{
    const struct {
        const char *name;
        std::u16string count;
        int boxes;
    } rows[] = {
        {"3.7 lays out 3", u"3.7", 3},
        {"0.5 lays out none", u"0.5", 0},
        {"-0", u"-0", 0},
        {"negative", u"-5", 0},
        {"full-width", u"１２", 12},
        {"exponent", u"1.2e1", 12},
        {"huge negative", u"-1e300", 0},
    };
    for (const auto &row : rows) {
        const auto &[name, count, boxes] = row;
        INFO(std::string(row.name));
        TestForm test;
        test.show();
        prepare(test, u"20");
        prepare(test, count);
        CHECK(test->Text2.count() == boxes + 1);
        CHECK(test.services.beeps == 0);
    }
}
