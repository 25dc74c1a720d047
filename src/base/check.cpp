#include "base/check.h"

#include <cstdio>
#include <cstdlib>

void Fail_check(const char* file, int line, const char* what, const char* condition) {
  std::fprintf(stderr, "%s:%d: check failed: %s (%s)\n", file, line, what, condition);
  std::abort();
}
