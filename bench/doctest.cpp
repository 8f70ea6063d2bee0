// The tests' helpers report through doctest; the benchmarks link its implementation and never run a check.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>
