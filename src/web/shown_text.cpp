#include "web/shown_text.h"

namespace {

constexpr std::string_view replacement_character = "\xEF\xBF\xBD";

// The length of the valid UTF-8 sequence that starts `bytes` (not empty); 0 when none does.
std::size_t Sequence_length(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes.front());
  if (lead < 0x80) return 1;
  // The lead byte fixes the length and the range of the second byte.
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (0xC2 <= lead and lead <= 0xDF) {
    length = 2;
  } else if (0xE0 <= lead and lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (0xF0 <= lead and lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong form
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t at = 1; at < length; ++at) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte < low or high < byte) return 0;
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

// Whether the valid UTF-8 `character` is a control character: U+0000 to U+001F, U+007F, and
// U+0080 to U+009F (C2 80 to C2 9F).
bool Is_control(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character.front());
  if (character.size() == 1) return lead < 0x20 or lead == 0x7F;
  return character.size() == 2 and lead == 0xC2 and static_cast<unsigned char>(character[1]) < 0xA0;
}

}  // namespace

ShownText::ShownText(std::string_view bytes) {
  _text.reserve(bytes.size());
  while (not bytes.empty()) {
    const std::size_t length = Sequence_length(bytes);
    if (length == 0) {
      _valid_utf8 = false;
      _text += replacement_character;
      bytes.remove_prefix(1);
    } else {
      const std::string_view character = bytes.substr(0, length);
      _text += Is_control(character) ? replacement_character : character;
      bytes.remove_prefix(length);
    }
    ++_characters;
  }
}
