#include "files.h"

#include "services.h"

namespace platform {

std::u16string joinPath(std::u16string_view directory, std::u16string_view name)
{
    const auto isSeparator = [](char16_t c) { return c == u'/' || (OnWindows && c == u'\\'); };
    std::u16string path(directory);
    if (!path.empty() && !isSeparator(path.back()))
        path += OnWindows ? u'\\' : u'/';
    path += name;
    return path;
}

} // namespace platform
