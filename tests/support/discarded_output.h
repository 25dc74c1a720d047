#ifndef SHELVORANQUIST_TESTS_SUPPORT_DISCARDED_OUTPUT_H_
#define SHELVORANQUIST_TESTS_SUPPORT_DISCARDED_OUTPUT_H_

#include <streambuf>

#include "support/redirected_output.h"

// Sends standard output nowhere for as long as it lives, so that the screens' output costs
// almost nothing (the fuzz target, the benchmarks).
class DiscardedOutput {
 private:
  // Accepts everything and keeps nothing.
  class Nowhere : public std::streambuf {
   protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
  };

  Nowhere _nowhere;
  RedirectedOutput _redirect{_nowhere};
};

#endif  // SHELVORANQUIST_TESTS_SUPPORT_DISCARDED_OUTPUT_H_
