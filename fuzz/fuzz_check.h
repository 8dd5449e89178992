// What a fuzz target does when a property fails: says which, and stops so
// that libFuzzer keeps the input.
#ifndef BRELLAM_FUZZ_FUZZ_CHECK_H_
#define BRELLAM_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

#endif  // BRELLAM_FUZZ_FUZZ_CHECK_H_
