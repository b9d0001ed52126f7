// A property that must hold for every input: when it does not, the fuzzer stops with a crash
// report and keeps the input that broke it.
#ifndef TABLEMEND_FUZZ_FUZZ_CHECK_H
#define TABLEMEND_FUZZ_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

#endif
