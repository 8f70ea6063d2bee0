// The tests' main in a page: doctest, its report on the console, and its result where the runner looks.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

extern "C" void web_finished(int status); // driver.js

int main(int argc, char **argv)
{
    const int status = doctest::Context(argc, argv).run();
    web_finished(status);
    return status;
}
