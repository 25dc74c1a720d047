#include "base/character_count.h"

void CharacterCount::Add(unsigned char byte) {
  if (_needed > 0) {
    if (_low <= byte and byte <= _high) {
      ++_pending;
      _low = 0x80;
      _high = 0xBF;
      if (--_needed == 0) {
        ++_count;
        _pending = 0;
      }
      return;
    }
    // The sequence is broken: each of its bytes is a character, and this byte starts afresh.
    _count += _pending;
    _pending = 0;
    _needed = 0;
  }
  Start(byte);
}

void CharacterCount::Start(unsigned char byte) {
  // The well-formed sequences: the lead byte fixes the length and the range of the second byte.
  _low = 0x80;
  _high = 0xBF;
  if (0xC2 <= byte and byte <= 0xDF) {
    _needed = 1;
  } else if (0xE0 <= byte and byte <= 0xEF) {
    _needed = 2;
    if (byte == 0xE0) _low = 0xA0;   // no overlong form
    if (byte == 0xED) _high = 0x9F;  // no surrogate
  } else if (0xF0 <= byte and byte <= 0xF4) {
    _needed = 3;
    if (byte == 0xF0) _low = 0x90;   // no overlong form
    if (byte == 0xF4) _high = 0x8F;  // nothing above U+10FFFF
  } else {
    _needed = 0;  // ASCII, a continuation byte, or a byte that never occurs in UTF-8
  }
  if (_needed == 0) {
    ++_count;
  } else {
    _pending = 1;
  }
}
