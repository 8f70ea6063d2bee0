#include "testing.h"

#include "key/answerkey.h"
#include "platform/forms/controlarray.h"
#include "platform/runtime/pixels.h"
#include "platform/text/numbers.h"
#include "sample_key.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

void FakeServices::messageBox(std::u16string_view text, std::u16string_view title)
{
    messages.push_back({std::u16string(text), std::u16string(title), windowShown && windowShown(),
        programs.size() + urls.size()});
    if (whileMessageOpen)
        whileMessageOpen();
}

bool FakeServices::startProgram(std::u16string_view commandLine)
{
    programs.emplace_back(commandLine);
    return launchesSucceed;
}

bool FakeServices::openUrl(std::u16string_view address)
{
    urls.emplace_back(address);
    return launchesSucceed;
}

std::string keyFileBytes(const std::vector<std::string> &keyLines, std::string_view header)
{
    std::string bytes = std::string(header) + "\r\n";
    for (const auto &line : keyLines)
        bytes += line + "\r\n";
    return bytes;
}

std::string sampleKeyBytes()
{
    return std::string(SampleKey, sizeof SampleKey - 1);
}

TestForm::TestForm(const std::optional<std::string> &key)
{
    services.directory = dir.path.u16string();
    if (key)
        writeFile(keyPath(), *key);
    form = std::make_unique<Form1>(services);
    view = makeDriver(*form);
    services.windowShown = [this] { return view && view->windowVisible(); };
}

void TestForm::show()
{
    view->show();
}

void TestForm::close()
{
    view.reset();
    form.reset();
}

fs::path TestForm::keyPath() const
{
    return fs::path(answerKeyPath(dir.path.u16string()));
}

void click(TestForm &test, const platform::CommandButton &button)
{
    test.view->click(button);
    if (checkEveryAction)
        checkControls(test);
}

void type(TestForm &test, const platform::TextBox &box, std::u16string_view text)
{
    test.view->type(box, text);
    if (checkEveryAction)
        checkControls(test);
}

void press(TestForm &test, Driver::Key key, platform::Modifiers modifiers)
{
    test.view->press(key, modifiers);
    if (checkEveryAction)
        checkControls(test);
}

void resize(TestForm &test, int width, int height)
{
    test.view->resize(width, height);
    if (checkEveryAction)
        checkControls(test);
}

void prepare(TestForm &test, std::optional<std::u16string_view> count)
{
    if (count)
        type(test, test->Text1, *count);
    click(test, test->Command1);
}

void start(TestForm &test, std::optional<std::u16string_view> minutes)
{
    if (minutes)
        type(test, test->Text2[0], *minutes);
    click(test, test->Command3);
}

void startAt(TestForm &test, std::u16string_view minutes, std::int32_t startTick)
{
    test.services.now = startTick;
    start(test, minutes);
}

void handIn(TestForm &test)
{
    click(test, test->Command4);
}

void results(TestForm &test)
{
    click(test, test->Command2);
}

void restart(TestForm &test)
{
    click(test, test->Command5);
}

void typeInto(TestForm &test, int question, std::u16string_view answer)
{
    type(test, test->Text2[question], answer);
}

void sitExam(TestForm &test, const Lines &typed)
{
    prepare(test, platform::numberText(double(typed.size())));
    start(test);
    for (size_t i = 0; i < typed.size(); ++i)
        if (!typed[i].empty())
            typeInto(test, int(i) + 1, typed[i]);
    handIn(test);
}

void gradeExam(TestForm &test, const Lines &typed)
{
    sitExam(test, typed);
    results(test);
}

bool tick(TestForm &test, std::int64_t elapsed)
{
    test.services.now = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(test->StartTick) + static_cast<std::uint32_t>(elapsed));
    const bool delivered = test.view->tick();
    if (checkEveryAction)
        checkControls(test);
    return delivered;
}

namespace {

// Where a control belongs on the screen, by the rule the views are held to, written here apart from the
// runtime's: each edge, in twips from the client area's corner, at its nearest pixel (halves away from 0).
platform::PixelRect placeOf(const platform::Control &control, int dpi)
{
    const auto pixel = [dpi](double twips) {
        const double exact = twips * dpi / 1440;
        return int(std::copysign(std::floor(std::abs(exact) + 0.5), exact));
    };
    const int left = pixel(control.left());
    const int top = pixel(control.top());
    return {left, top, pixel(double(control.left()) + double(control.width())) - left,
        pixel(double(control.top()) + double(control.height())) - top};
}

bool overlaps(platform::PixelRect rect, platform::PixelSize client)
{
    return rect.width > 0 && rect.height > 0 && rect.left < client.width && rect.left + rect.width > 0
        && rect.top < client.height && rect.top + rect.height > 0;
}

std::u16string textOf(const platform::Control &control)
{
    switch (control.kind()) {
    case platform::Control::Kind::TextBox:
        return static_cast<const platform::TextBox &>(control).text();
    case platform::Control::Kind::Label:
        return static_cast<const platform::Label &>(control).caption();
    case platform::Control::Kind::CommandButton:
        return static_cast<const platform::CommandButton &>(control).caption();
    case platform::Control::Kind::ListBox:
        break;
    }
    return {};
}

} // namespace

void checkControls(TestForm &test)
{
    Driver &view = *test.view;
    view.settle();
    const platform::PixelSize client = view.clientSize();
    const int dpi = view.dpi();
    const platform::Control *focus = view.focused();
    for (const platform::ControlArrayBase *array : test->arrays()) {
        for (int i = 1; i < array->end(); ++i) {
            const platform::Control *element = array->element(i);
            if (!element)
                continue;
            // Stops at the first fault: one is enough to look at, and a sheet has thousands of elements.
            const auto holds = [element, i](bool ok, const char *what) {
                const bool box = element->kind() == platform::Control::Kind::TextBox;
                if (!ok) {
                    const std::string fault
                        = std::string(box ? "box " : "number ") + std::to_string(i) + ' ' + what;
                    FAIL_CHECK(fault);
                }
                return ok;
            };
            const platform::PixelRect where = placeOf(*element, dpi);
            const bool wanted = element->isVisible() && (overlaps(where, client) || element == focus);
            const bool shown = view.shown(*element);
            if (!holds(shown == wanted, shown ? "has a native control out of view" : "in view has none"))
                return;
            if (!shown)
                continue;
            if (!holds(view.rect(*element) == where, "is shown in the wrong place")
                || !holds(view.visible(*element), "is shown hidden")
                || !holds(view.enabled(*element) == element->isEnabled(), "is locked wrongly")
                || !holds(view.text(*element) == textOf(*element), "shows another text"))
                return;
            if (element->kind() != platform::Control::Kind::TextBox)
                continue;
            const auto &box = static_cast<const platform::TextBox &>(*element);
            const std::optional<std::u16string> name = view.accessibleName(box);
            const std::optional<std::u16string> description = view.accessibleDescription(box);
            if (!name)
                notRead("the answer boxes' names");
            if (!description)
                notRead("the answer boxes' descriptions");
            // Form1's answer boxes: "第 12 题", and "正确" while green.
            const std::u16string expectedName = u"第 " + platform::numberText(i) + u" 题";
            const std::u16string_view expectedDescription = box.backColor() == Form1::Green ? u"正确" : u"";
            if (!holds(!name || *name == expectedName, "has another name")
                || !holds(!description || *description == expectedDescription, "has another description")
                || !holds(view.background(box) == box.backColor(), "shows another colour"))
                return;
        }
    }
}

std::string phaseOf(TestForm &test)
{
    Driver &view = *test.view;
    const Form1 &form = *test;
    std::string on;
    const auto add = [&on](const char *name) {
        if (!on.empty())
            on += ' ';
        on += name;
    };
    const std::pair<const char *, const platform::Control *> controls[]
        = {{"Prepare", &form.Command1}, {"Results", &form.Command2}, {"Start", &form.Command3},
            {"HandIn", &form.Command4}, {"Restart", &form.Command5}, {"count", &form.Text1},
            {"minutes", &form.Text2[0]}, {"key", &form.List1}};
    for (const auto &[name, control] : controls)
        if (control == &form.List1 ? view.visible(*control) : view.enabled(*control))
            add(name);
    if (form.Timer1.isEnabled())
        add("clock");
    for (int i = 1; i < form.Text2.count(); ++i) {
        const platform::TextBox &box = form.Text2[i];
        if (view.shown(box) ? view.enabled(box) : box.isEnabled()) {
            add("boxes");
            break;
        }
    }
    return on;
}

Lines answers(const Form1 &form)
{
    Lines texts;
    for (int i = 1; i < form.Text2.count(); ++i)
        texts.push_back(form.Text2[i].text());
    return texts;
}

Lines items(const Form1 &form)
{
    return form.List1.items();
}

std::string greenBoxes(const Form1 &form)
{
    std::string green;
    for (int i = 1; i < form.Text2.count(); ++i)
        if (form.Text2[i].backColor() == Form1::Green) {
            if (!green.empty())
                green += ' ';
            green += std::to_string(i);
        }
    return green;
}

const std::vector<std::pair<const char *, std::u16string>> &notANumberTexts()
{
    static const std::vector<std::pair<const char *, std::u16string>> texts{{"empty", u""},
        {"letters", u"abc"}, {"nan", u"nan"}, {"overflow", u"1e400"}, {"hexadecimal", u"0x10"},
        {"comma", u","}};
    return texts;
}

double luminance(platform::Colour colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const platform::Rgb rgb = platform::rgbOf(colour);
    return 0.2126 * linear(rgb.red) + 0.7152 * linear(rgb.green) + 0.0722 * linear(rgb.blue);
}

double contrast(platform::Colour a, platform::Colour b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
