// Properties checked by the fuzz targets: a property that fails is a finding, as a crash is.
#pragma once
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);       \
            abort();                                                                               \
        }                                                                                          \
    } while (0)
