#pragma once

#include "control.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A font as a form names it; each view finds the nearest face its system has.
struct Font {
    std::u16string name;
    double points = 9;
    int weight = 400; // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1; // the system's default; 134 is GB2312
    // Spaces in captions laid out half as wide as a Chinese character, as in the Song faces: the form's
    // layout counts on it ("时间         分钟 n" opens the gap its minutes box stands over), whatever face
    // stands in.
    bool halfWidthSpaces = false;

    bool operator==(const Font &) const = default;
};

// A single-line text box.
class TextBox final : public Control {
public:
    explicit TextBox(Form &form);

    // What the box shows, typed or set.
    const std::u16string &text() const { return m_text; }
    void setText(std::u16string_view text);
    // The user typed: the view that showed the typing already shows the text.
    void typed(std::u16string_view text) { m_text = text; }

    Colour backColor() const { return m_backColor; }
    void setBackColor(Colour colour);

    // Gives the box the focus with its whole text selected, so the user can type a correction at once.
    void selectAll() { changed(Change::SelectAll); }

    // Each text the program sets is told to screen readers at once, after the box's name: a score, set when
    // the sheet is graded, while the focus stays where it is.
    bool isAnnounced() const { return m_announced; }
    void setAnnounced(bool announced) { m_announced = announced; }

    std::unique_ptr<TextBox> hiddenCopy() const;

private:
    TextBox(const TextBox &prototype, HiddenCopy tag);

    std::u16string m_text;
    Colour m_backColor = 0xFFFFFF;
    bool m_announced = false;
};

// A text that the user cannot change.
class Label final : public Control {
public:
    enum Alignment { LeftJustify = 0, RightJustify = 1 };

    explicit Label(Form &form);

    const std::u16string &caption() const { return m_caption; }
    void setCaption(std::u16string_view caption);

    int alignment() const { return m_alignment; }
    void setAlignment(int alignment);

    // No value: the platform's default label background.
    std::optional<Colour> backColor() const { return m_backColor; }
    void setBackColor(Colour colour);

    // nullptr: the form's font.
    const Font *font() const { return m_font.get(); }
    void setFont(const Font &font);

    // Where not empty, the caption is placed up and down by the ink of these characters, the ones its
    // captions are made of, rather than by its font's line height: in a label barely taller than its font,
    // faces that differ in ascent would otherwise cut the caption off.
    std::u16string_view inkSample() const { return m_inkSample ? *m_inkSample : std::u16string_view(); }
    void setInkSample(std::u16string_view sample);

    std::unique_ptr<Label> hiddenCopy() const;

private:
    Label(const Label &prototype, HiddenCopy tag);

    std::u16string m_caption;
    int m_alignment = LeftJustify;
    std::optional<Colour> m_backColor;
    std::shared_ptr<const Font> m_font; // shared with copies: a sheet's numbers hold one
    std::shared_ptr<const std::u16string> m_inkSample; // likewise
};

// A push button whose click runs a handler, as an event of its form.
class CommandButton final : public Control {
public:
    explicit CommandButton(Form &form);

    const std::u16string &caption() const { return m_caption; }
    void setCaption(std::u16string_view caption);

    void onClick(std::function<void()> handler) { m_onClick = std::move(handler); }
    // The user clicked: runs the handler, unless the button is disabled, which delivers no click.
    void click();

private:
    std::u16string m_caption;
    std::function<void()> m_onClick;
};

// A list of text items.
class ListBox final : public Control {
public:
    explicit ListBox(Form &form);

    void clear();
    void addItem(std::u16string_view item);
    // The item at a 0-based index; the empty string at or past the item count.
    std::u16string item(int index) const;
    int count() const { return int(m_items.size()); }
    const std::vector<std::u16string> &items() const { return m_items; }

private:
    std::vector<std::u16string> m_items;
};

// A timer whose ticks run a handler, as an event of its form, while it is enabled. The view keeps the time.
class Timer final {
public:
    explicit Timer(Form &form);
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;
    ~Timer();

    int interval() const { return m_interval; }
    void setInterval(int milliseconds);
    bool isEnabled() const { return m_enabled; }
    // Enabling a disabled timer starts a full interval; enabling an enabled one changes nothing.
    void setEnabled(bool enabled);

    void onTimer(std::function<void()> handler) { m_onTimer = std::move(handler); }
    // The interval has elapsed: runs the handler while the timer is enabled.
    void elapsed();

private:
    Form &m_form;
    std::function<void()> m_onTimer;
    int m_interval = 0;
    bool m_enabled = true;
};

} // namespace platform
