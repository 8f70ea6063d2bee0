#include "controls.h"

#include "form.h"

#include <algorithm>

namespace platform {

// TextBox

TextBox::TextBox(Form &form)
    : Control(form, Kind::TextBox)
{
}

TextBox::TextBox(const TextBox &prototype, HiddenCopy tag)
    : Control(prototype, tag)
    , m_text(prototype.m_text)
    , m_backColor(prototype.m_backColor)
{
}

std::unique_ptr<TextBox> TextBox::hiddenCopy() const
{
    return std::unique_ptr<TextBox>(new TextBox(*this, HiddenCopy{}));
}

void TextBox::setText(std::u16string_view text)
{
    m_text = text;
    changed(Change::Text);
}

void TextBox::setBackColor(Colour colour)
{
    m_backColor = colour;
    changed(Change::BackColor);
}

// Label

Label::Label(Form &form)
    : Control(form, Kind::Label)
{
}

Label::Label(const Label &prototype, HiddenCopy tag)
    : Control(prototype, tag)
    , m_caption(prototype.m_caption)
    , m_alignment(prototype.m_alignment)
    , m_backColor(prototype.m_backColor)
    , m_font(prototype.m_font)
    , m_inkSample(prototype.m_inkSample)
{
}

std::unique_ptr<Label> Label::hiddenCopy() const
{
    return std::unique_ptr<Label>(new Label(*this, HiddenCopy{}));
}

void Label::setCaption(std::u16string_view caption)
{
    m_caption = caption;
    changed(Change::Text);
}

void Label::setAlignment(int alignment)
{
    m_alignment = alignment;
    changed(Change::Alignment);
}

void Label::setBackColor(Colour colour)
{
    m_backColor = colour;
    changed(Change::BackColor);
}

void Label::setFont(const Font &font)
{
    m_font = std::make_shared<const Font>(font);
    changed(Change::Font);
}

void Label::setInkSample(std::u16string_view sample)
{
    m_inkSample = sample.empty() ? nullptr : std::make_shared<const std::u16string>(sample);
    changed(Change::Font);
}

// CommandButton

CommandButton::CommandButton(Form &form)
    : Control(form, Kind::CommandButton)
{
}

void CommandButton::setCaption(std::u16string_view caption)
{
    m_caption = caption;
    changed(Change::Text);
}

void CommandButton::click()
{
    if (isEnabled() && m_onClick)
        form().deliver(m_onClick);
}

// ListBox

ListBox::ListBox(Form &form)
    : Control(form, Kind::ListBox)
{
}

void ListBox::clear()
{
    m_items.clear();
    changed(Change::Items);
}

void ListBox::addItem(std::u16string_view item)
{
    m_items.emplace_back(item);
    changed(Change::Items);
}

std::u16string ListBox::item(int index) const
{
    return index >= 0 && index < count() ? m_items[size_t(index)] : std::u16string();
}

// Timer

Timer::Timer(Form &form)
    : m_form(form)
{
    form.m_timers.push_back(this);
}

Timer::~Timer()
{
    std::erase(m_form.m_timers, this);
}

void Timer::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    m_form.timerChanged(*this);
}

void Timer::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    m_form.timerChanged(*this);
}

void Timer::elapsed()
{
    if (m_enabled && m_onTimer)
        m_form.deliver(m_onTimer);
}

} // namespace platform
