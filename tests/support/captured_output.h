#ifndef SHELVORANQUIST_TESTS_SUPPORT_CAPTURED_OUTPUT_H_
#define SHELVORANQUIST_TESTS_SUPPORT_CAPTURED_OUTPUT_H_

#include <iostream>
#include <sstream>
#include <string>

#include "support/redirected_output.h"

// Sends standard output to a string for as long as it lives.
class CapturedOutput {
 public:
  // Everything written so far.
  std::string Text() {
    std::cout.flush();
    return _text.str();
  }

 private:
  std::ostringstream _text;
  RedirectedOutput _redirect{*_text.rdbuf()};
};

// What `print` writes to standard output.
template <class Print>
std::string Output_of(Print print) {
  CapturedOutput output;
  print();
  return output.Text();
}

#endif  // SHELVORANQUIST_TESTS_SUPPORT_CAPTURED_OUTPUT_H_
