#ifndef SHELVORANQUIST_TESTS_SUPPORT_CAPTURED_OUTPUT_H_
#define SHELVORANQUIST_TESTS_SUPPORT_CAPTURED_OUTPUT_H_

#include <iostream>
#include <sstream>
#include <string>

// Sends standard output to a string for as long as it lives.
class CapturedOutput {
 public:
  CapturedOutput() : _previous(std::cout.rdbuf(_text.rdbuf())) {}
  ~CapturedOutput() { std::cout.rdbuf(_previous); }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  // Everything written so far.
  std::string Text() {
    std::cout.flush();
    return _text.str();
  }

 private:
  std::ostringstream _text;
  std::streambuf* _previous;
};

// What `print` writes to standard output.
template <class Print>
std::string Output_of(Print print) {
  CapturedOutput output;
  print();
  return output.Text();
}

#endif  // SHELVORANQUIST_TESTS_SUPPORT_CAPTURED_OUTPUT_H_
