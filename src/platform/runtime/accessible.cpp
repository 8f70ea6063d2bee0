#include "accessible.h"

#include "platform/forms/controlarray.h"
#include "platform/forms/controls.h"
#include "view.h"

namespace platform {

std::u16string accessibleName(const Control &control)
{
    if (control.isRunTime())
        return control.array()->accessibleName(control.index());
    if (const Label *label = control.labelledBy())
        return label->caption();
    return {};
}

std::u16string accessibleDescription(const Control &control)
{
    if (!control.isRunTime() || control.kind() != Control::Kind::TextBox)
        return {};
    return std::u16string(
        control.array()->colourDescription(static_cast<const TextBox &>(control).backColor()));
}

std::u16string announcement(const Control &control)
{
    if (control.kind() != Control::Kind::TextBox || !static_cast<const TextBox &>(control).isAnnounced())
        return {};
    std::u16string name = accessibleName(control);
    return name + (name.empty() ? u"" : u" ") + static_cast<const TextBox &>(control).text();
}

std::u16string printedDescription(const std::vector<std::u16string> &lines)
{
    std::u16string description;
    for (const auto &line : lines)
        description += (description.empty() ? u"" : u"\n") + line;
    return description;
}

} // namespace platform
