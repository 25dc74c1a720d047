#ifndef SHELVORANQUIST_TESTS_SUPPORT_REDIRECTED_OUTPUT_H_
#define SHELVORANQUIST_TESTS_SUPPORT_REDIRECTED_OUTPUT_H_

#include <iostream>
#include <streambuf>

// Sends standard output to `destination` for as long as it lives, and then back to wherever it
// went before. `destination` must outlive it.
class RedirectedOutput {
 public:
  explicit RedirectedOutput(std::streambuf& destination)
      : _previous(std::cout.rdbuf(&destination)) {}
  ~RedirectedOutput() { std::cout.rdbuf(_previous); }
  RedirectedOutput(const RedirectedOutput&) = delete;
  RedirectedOutput& operator=(const RedirectedOutput&) = delete;

 private:
  std::streambuf* _previous;
};

#endif  // SHELVORANQUIST_TESTS_SUPPORT_REDIRECTED_OUTPUT_H_
