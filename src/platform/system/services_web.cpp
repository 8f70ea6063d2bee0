#include "services.h"

#include <emscripten/emscripten.h>

#include <cstdlib>

// A page's system: its clocks and its address. The page's own script (the view's pre.js) keeps the folder of
// its address as Module.quillmarkDirectory.
// clang-format off
EM_JS(int, quillmark_tick_count, (), {
    // Milliseconds from a monotonic clock (performance.now), plus the time the machine slept: the exam's time
    // runs on through a sleep as it does on the desktop. The monotonic clock stops in a sleep in some browsers,
    // the wall clock does not, so its lead over the monotonic one grows by the sleep. Only a lead beyond the
    // highest so far counts, and only by more than a second: a wall clock set back lowers the lead, and its
    // correction forward only restores it.
    var monotonic = performance.now();
    var lead = Date.now() - monotonic;
    var clock = Module.quillmarkClock = Module.quillmarkClock || {slept: 0, highestLead: lead};
    if (lead > clock.highestLead) {
        if (lead - clock.highestLead > 1000)
            clock.slept += lead - clock.highestLead;
        clock.highestLead = lead;
    }
    return Math.floor(monotonic + clock.slept) | 0;
});
// The folder as UTF-16 on the heap, for the program to free; its length in code units at *length.
EM_JS(char16_t *, quillmark_directory, (int *length), {
    var directory = Module.quillmarkDirectory || '/';
    var text = _malloc(directory.length * 2 + 2);
    quillmarkStore(directory, text, directory.length);
    HEAP32[length >> 2] = directory.length;
    return text;
});
// clang-format on

namespace platform {

std::int32_t SystemServices::tickCount()
{
    return quillmark_tick_count();
}

bool SystemServices::startProgram(std::u16string_view)
{
    return false; // a page starts no program
}

std::u16string SystemServices::programDirectory()
{
    int length = 0;
    char16_t *directory = quillmark_directory(&length);
    std::u16string copy(directory, size_t(length));
    std::free(directory);
    return copy;
}

} // namespace platform
