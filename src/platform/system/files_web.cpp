#include "files.h"

#include <emscripten/emscripten.h>

// A page's files are the ones it fetched before the program started (the web view's pre.js): the key beside
// the page, if the server had one. The page keeps them as bytes by path; the program reads them through the
// page's handles.
// clang-format off
EM_JS(int, quillmark_file_open, (const char16_t *path, int length), {
    var name = quillmarkText(path, length);
    var bytes = (Module.quillmarkFiles || {})[name];
    if (!bytes)
        return 0;
    Module.quillmarkOpen = Module.quillmarkOpen || [null];
    Module.quillmarkOpen.push({bytes: bytes, offset: 0});
    return Module.quillmarkOpen.length - 1;
});
EM_JS(int, quillmark_file_read, (int handle, char *into, int size), {
    var file = Module.quillmarkOpen[handle];
    var part = file.bytes.subarray(file.offset, file.offset + size);
    HEAPU8.set(part, into);
    file.offset += part.length;
    return part.length;
});
EM_JS(void, quillmark_file_close, (int handle), {
    Module.quillmarkOpen[handle] = null;
});
// clang-format on

namespace platform {

bool fileExists(std::u16string_view path)
{
    const InputFile file(path);
    return file.isOpen();
}

bool pathExists(std::u16string_view path)
{
    return fileExists(path); // a page has files and no folders
}

InputFile::InputFile(std::u16string_view path)
    : m_handle(quillmark_file_open(path.data(), int(path.size())))
    , m_open(m_handle != 0)
{
}

InputFile::~InputFile()
{
    if (m_open)
        quillmark_file_close(int(m_handle));
}

std::size_t InputFile::read(char *into, std::size_t size)
{
    return m_open ? std::size_t(quillmark_file_read(int(m_handle), into, int(size))) : 0;
}

} // namespace platform
