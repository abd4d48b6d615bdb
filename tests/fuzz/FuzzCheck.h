#pragma once
// What the fuzz targets share: a check that stops the run loudly (under
// libFuzzer and in the replay test alike), and the ProfileFile built from bytes.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                               \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)
