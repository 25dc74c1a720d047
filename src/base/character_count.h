#ifndef SHELVORANQUIST_BASE_CHARACTER_COUNT_H_
#define SHELVORANQUIST_BASE_CHARACTER_COUNT_H_

#include <cstddef>

// Counts the characters of a text given a byte at a time, as the limits of the text fields
// count them: a character is one UTF-8 encoded code point, valid as Unicode defines it (no
// overlong form, no surrogate, nothing above U+10FFFF), and every byte that is not part of such
// a sequence is a character of its own. ASCII text has as many characters as bytes.
class CharacterCount {
 public:
  void Add(unsigned char byte);

  // The characters so far; the bytes of a sequence not yet complete count one each.
  std::size_t Count() const { return _count + _pending; }

 private:
  // Begins a sequence at `byte`, or counts it alone when no valid sequence starts with it.
  void Start(unsigned char byte);

  std::size_t _count = 0;     // characters complete, and bytes of broken sequences
  std::size_t _pending = 0;   // bytes of the sequence begun and not yet complete
  int _needed = 0;            // continuation bytes that sequence still needs
  unsigned char _low = 0x80;  // the range of its next continuation byte
  unsigned char _high = 0xBF;
};

#endif  // SHELVORANQUIST_BASE_CHARACTER_COUNT_H_
