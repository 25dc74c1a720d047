#include "support/scripted_input.h"

#include <utility>

#include "support/test_clock.h"

void ScriptedInput::Type(std::string_view text) {
  if (_pending.empty()) _pending.push_back(Segment{0, ""});
  _pending.back().text.append(text);
}

void ScriptedInput::Wait_minutes(std::int64_t minutes) { _pending.push_back(Segment{minutes, ""}); }

ScriptedInput::int_type ScriptedInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  while (not _pending.empty()) {
    Segment segment = std::move(_pending.front());
    _pending.pop_front();
    if (_clock != nullptr and segment.wait_minutes != 0)
      _clock->Advance_minutes(segment.wait_minutes);
    if (segment.text.empty()) continue;
    _current = std::move(segment.text);
    setg(_current.data(), _current.data(), _current.data() + _current.size());
    return traits_type::to_int_type(*gptr());
  }
  return traits_type::eof();
}
