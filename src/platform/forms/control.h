#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

class ControlArrayBase;
class Form;
class Label;

// What changed about a control, for the runtime that shows it.
enum class Change {
    Geometry,
    Visible,
    Enabled,
    Text, // a text box's text, a label's or a button's caption
    BackColor,
    Alignment,
    Font,
    Items, // a list box's items
    SelectAll, // a text box asks for the focus with its whole text selected
    Name, // what names it for screen readers
};

// What shows a control: told of every change to it. A control has at most one at a time, and run-time
// controls have one only while they are shown.
class ControlPeer {
public:
    virtual void changed(Change change) = 0;
    // The control is being destroyed; the peer must let go of it.
    virtual void controlDestroyed() = 0;

protected:
    ControlPeer() = default;
    ControlPeer(const ControlPeer &) = default;
    ControlPeer &operator=(const ControlPeer &) = default;
    ~ControlPeer() = default;
};

// A colour written 0x00BBGGRR: red in the low byte, blue in the third. Views and tests take it apart and put
// it together through rgbOf and colourOf alone.
using Colour = std::uint32_t;

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
};

constexpr Rgb rgbOf(Colour colour)
{
    return {int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF)};
}

// Each channel from 0 to 255; what lies beyond is cut off.
constexpr Colour colourOf(Rgb rgb)
{
    return Colour(rgb.red & 0xFF) | Colour(rgb.green & 0xFF) << 8 | Colour(rgb.blue & 0xFF) << 16;
}

// A control of a form: it keeps its properties itself, exactly as set, and tells its peer, the view's showing
// of it, of each change. Positions and sizes are twips, 1/1440 inch.
//
// Controls made at design time belong to the form for its whole life; controls made at run time as copies in
// a ControlArray have a peer only while they are shown (see Runtime in view.h).
class Control {
public:
    // In stacking order, labels lowest (see view.h). A new kind goes last, named last in isLastKind.
    enum class Kind { Label, TextBox, CommandButton, ListBox };

    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;
    virtual ~Control();

    Kind kind() const { return m_kind; }
    Form &form() const { return m_form; }

    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void move(float left, float top, float width, float height);

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // Made at run time as a copy in a control array: element 1 and up.
    bool isRunTime() const { return m_runTime; }
    // The array this control is an element of, and its index there; nullptr and 0 for a control of its own.
    const ControlArrayBase *array() const { return m_array; }
    int index() const { return m_index; }

    // The label beside it whose caption names it for screen readers, or nullptr.
    const Label *labelledBy() const { return m_labelledBy; }
    void setLabelledBy(const Label &label);

    // The peer that shows this control, or nullptr.
    ControlPeer *peer() const { return m_peer; }
    void setPeer(ControlPeer *peer) { m_peer = peer; }

protected:
    // A design-time control of form, which it joins in keyboard order.
    Control(Form &form, Kind kind);
    struct HiddenCopy { };
    // A run-time copy of prototype's properties, hidden.
    Control(const Control &prototype, HiddenCopy);

    void changed(Change change);

private:
    friend class ControlArrayBase;

    Form &m_form;
    ControlPeer *m_peer = nullptr;
    const ControlArrayBase *m_array = nullptr;
    const Label *m_labelledBy = nullptr;
    int m_index = 0;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
    Kind m_kind;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_runTime = false;
};

// Whether kind is the last of Control::Kind. The switch names every kind: one that Kind gains fails the build
// until it is named here (-Wswitch, an error in the test command's builds), and a new kind is the last.
constexpr bool isLastKind(Control::Kind kind)
{
    switch (kind) {
    case Control::Kind::Label:
    case Control::Kind::TextBox:
    case Control::Kind::CommandButton:
        return false;
    case Control::Kind::ListBox:
        return true;
    }
    return false;
}

// How many kinds of control there are, counted up to the last: the size of every table indexed by kind.
inline constexpr std::size_t KindCount = [] {
    std::size_t count = 1;
    while (!isLastKind(Control::Kind(count - 1)))
        ++count;
    return count;
}();

// A table with an entry for each kind of control, indexed by the kind. One written out lists an entry a kind,
// in Kind's order: a table with one too many or too few fails to compile.
template <class T> class KindTable {
public:
    constexpr KindTable() = default;
    template <std::size_t N> explicit constexpr KindTable(const T (&entries)[N])
    {
        static_assert(N == KindCount, "a table by kind holds one entry for each kind of control");
        std::copy(entries, entries + N, m_entries.begin());
    }

    constexpr T &operator[](Control::Kind kind) { return m_entries[std::size_t(kind)]; }
    constexpr const T &operator[](Control::Kind kind) const { return m_entries[std::size_t(kind)]; }

private:
    std::array<T, KindCount> m_entries{};
};

} // namespace platform
