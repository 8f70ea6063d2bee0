#include "native.h"

#include "library.h"
#include "window.h"

#include <string_view>

namespace views::web {

namespace {

// The page's class for each kind of control, by name: the page makes the element that class stands for.
constexpr platform::KindTable<std::u16string_view> PageClasses({u"label", u"box", u"button", u"list"});

int makeElement(int window, platform::Control::Kind kind, void *native)
{
    const std::u16string_view name = PageClasses[kind];
    return qm_make(window, name.data(), int(name.size()), native);
}

} // namespace

Native::Native(platform::Control::Kind kind, Window &window)
    : NativeControl(kind)
    , m_element(makeElement(window.id(), kind, this))
{
}

Native::~Native()
{
    qm_destroy(m_element);
}

int elementOf(const platform::Control &control)
{
    const auto *native = static_cast<const Native *>(platform::Runtime::nativeOf(control));
    return native ? native->element() : 0;
}

void Native::setBounds(platform::PixelRect bounds)
{
    qm_bounds(m_element, bounds.left, bounds.top, bounds.width, bounds.height);
}

void Native::setVisible(bool visible)
{
    qm_visible(m_element, visible);
}

void Native::setEnabled(bool enabled)
{
    qm_enabled(m_element, enabled);
}

void Native::setText(std::u16string_view text)
{
    qm_text(m_element, text.data(), int(text.size()));
}

void Native::setColours(const std::optional<platform::OwnColours> &colours)
{
    const platform::Rgb background = platform::rgbOf(colours ? colours->background : 0);
    const platform::Rgb text = platform::rgbOf(colours ? colours->text : 0);
    qm_colours(m_element, colours.has_value(), background.red, background.green, background.blue, text.red,
        text.green, text.blue);
}

void Native::setAlignment(platform::Label::Alignment alignment)
{
    qm_alignment(m_element, alignment == platform::Label::RightJustify);
}

void Native::setStyle(const platform::TextStyle &style)
{
    const platform::Font *font = style.font;
    const std::u16string family = font ? cssFamily(*font) : std::u16string();
    qm_style(m_element, family.data(), int(family.size()), font ? font->points : 0, font ? font->weight : 400,
        font && font->italic, font && font->underline, font && font->strikeOut, style.halfWidthSpaces,
        style.inkSample.data(), int(style.inkSample.size()));
}

void Native::setItems(const std::vector<std::u16string> &items)
{
    qm_clearItems(m_element);
    for (const auto &item : items)
        qm_addItem(m_element, item.data(), int(item.size()));
}

void Native::setAccessibleName(std::u16string_view name)
{
    qm_name(m_element, name.data(), int(name.size()));
}

void Native::setAccessibleDescription(std::u16string_view description)
{
    qm_description(m_element, description.data(), int(description.size()));
}

void Native::announce(std::u16string_view text)
{
    qm_announce(m_element, text.data(), int(text.size()));
}

void Native::stackUnder(platform::NativeControl *above)
{
    qm_stackUnder(m_element, above ? static_cast<Native *>(above)->m_element : 0);
}

void Native::focus(bool selectAll)
{
    qm_focus(m_element, selectAll);
}

bool Native::busy() const
{
    // A context menu is the browser's own, and keeps the focus in the element while it is open.
    return qm_composing(m_element) != 0;
}

} // namespace views::web
