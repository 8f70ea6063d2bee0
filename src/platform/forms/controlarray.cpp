#include "controlarray.h"

#include "form.h"
#include "platform/text/numbers.h"

#include <algorithm>

namespace platform {

ControlArrayBase::ControlArrayBase(Form &form, std::unique_ptr<Control> element0)
    : m_form(form)
{
    adopt(*element0, 0);
    m_elements.push_back(std::move(element0));
    m_count = 1;
    form.m_arrays.push_back(this);
}

ControlArrayBase::~ControlArrayBase()
{
    std::erase(m_form.m_arrays, this);
}

Control *ControlArrayBase::element(int index) const
{
    if (index < 0 || index >= end())
        return nullptr;
    return m_elements[size_t(index)].get();
}

bool ControlArrayBase::create(int index, std::unique_ptr<Control> copy)
{
    if (index < 1 || index > MaxIndex || element(index))
        return false;
    if (index >= end())
        m_elements.resize(size_t(index) + 1);
    adopt(*copy, index);
    m_elements[size_t(index)] = std::move(copy);
    ++m_count;
    m_form.runTimeControlsChanged();
    return true;
}

bool ControlArrayBase::destroy(int index)
{
    if (index < 1 || !element(index))
        return false;
    m_elements[size_t(index)].reset();
    --m_count;
    while (!m_elements.back())
        m_elements.pop_back();
    m_form.runTimeControlsChanged();
    return true;
}

void ControlArrayBase::adopt(Control &element, int index)
{
    element.m_array = this;
    element.m_index = index;
}

std::u16string ControlArrayBase::accessibleName(int index) const
{
    std::u16string name = m_accessibleName;
    if (const auto at = name.find(u"%1"); at != std::u16string::npos)
        name.replace(at, 2, numberText(index));
    return name;
}

void ControlArrayBase::describeColour(Colour colour, std::u16string description)
{
    std::erase_if(m_colourDescriptions, [colour](const auto &known) { return known.first == colour; });
    m_colourDescriptions.emplace_back(colour, std::move(description));
}

std::u16string_view ControlArrayBase::colourDescription(Colour colour) const
{
    for (const auto &[known, description] : m_colourDescriptions)
        if (known == colour)
            return description;
    return {};
}

} // namespace platform
