#ifndef SHELVORANQUIST_TESTS_SUPPORT_SCRIPTED_INPUT_H_
#define SHELVORANQUIST_TESTS_SUPPORT_SCRIPTED_INPUT_H_

#include <cstdint>
#include <deque>
#include <streambuf>
#include <string>
#include <string_view>

class TestClock;

// The librarian's keystrokes, typed in advance, with pauses between them. A pause moves the
// clock forward at the moment the program first reads what was typed after it, that is, while
// the program waits at the prompt the pause follows. Reads past the end find end of input.
class ScriptedInput : public std::streambuf {
 public:
  // `clock`, when given, must outlive this object; without it pauses move nothing.
  explicit ScriptedInput(TestClock* clock = nullptr) : _clock(clock) {}

  void Type(std::string_view text);
  void Wait_minutes(std::int64_t minutes);

 protected:
  int_type underflow() override;

 private:
  struct Segment {
    std::int64_t wait_minutes;
    std::string text;
  };

  TestClock* _clock;
  std::deque<Segment> _pending;
  std::string _current;
};

#endif  // SHELVORANQUIST_TESTS_SUPPORT_SCRIPTED_INPUT_H_
