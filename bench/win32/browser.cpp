// The benchmark's browser, put where Quillmark looks for Internet Explorer: it starts and ends at once, so
// that opening the maker's page costs what starting a program costs and no browser takes the machine
// meanwhile.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
