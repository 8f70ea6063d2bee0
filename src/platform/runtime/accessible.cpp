#include "accessible.h"

#include "platform/forms/controlarray.h"
#include "platform/forms/controls.h"

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

} // namespace platform
