#include "testing.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

// What a test could not check: apart from the rest of the support, for the tests that need no form.

void notRead(const char *what)
{
    static std::set<std::string> said;
    if (said.insert(what).second)
        std::printf("not checked on this view, whose driver cannot read it: %s\n", what);
}

void skipped(const char *what)
{
    const char *promised = std::getenv("QUILLMARK_NO_SKIPS");
    if (promised && std::string_view(promised) == "1")
        FAIL_CHECK("not run, which QUILLMARK_NO_SKIPS forbids: " << std::string(what));
    else
        MESSAGE("not run: " << std::string(what));
}
