#include "base/character_count.h"

#include <gmock/gmock.h>

#include <string>

namespace {

std::size_t Characters(const std::string& text) {
  CharacterCount count;
  for (const char byte : text) count.Add(static_cast<unsigned char>(byte));
  return count.Count();
}

TEST(CharacterCountTest, ValidSequencesCountOnceAndEveryOtherByteAlone) {
  const struct {
    const char* text;
    std::size_t characters;
  } cases[] = {
      {"", 0},
      {"Ann Lee", 7},
      {"Погребняк", 9},                     // two bytes each
      {"\xE2\x82\xAC\xF0\x9F\x98\x80", 2},  // three and four bytes
      {"\xC0\xAF\xE0\x80\xAF", 5},          // overlong forms of '/'
      {"\xED\xA0\x80", 3},                  // a surrogate
      {"\xF4\x90\x80\x80", 4},              // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", 5},          // five-byte form
      {"\x80\xBF\xFF\xFE", 4},              // stray and never-used bytes
      {"\xE2\x82", 2},                      // cut short at the end
      {"\xE2\x82"
       "A\xC3\xA9",
       4},                          // cut short by the next character
      {"\xF0\x9F\x98\xC3\xA9", 4},  // cut short by the start of another sequence
      // Each class of first byte, at both of its ends, followed by continuation bytes.
      {"\x01\x80\x7F\xBF", 4},                  // 00-7F: ASCII
      {"\x80\x80\xBF\xBF", 4},                  // 80-BF: stray continuation bytes
      {"\xC0\x80\xC1\xBF", 4},                  // C0-C1: overlong two-byte forms
      {"\xC2\x80\xDF\xBF", 2},                  // C2-DF
      {"\xE0\xA0\x80\xE0\x9F\xBF", 4},          // E0: from A0, below it overlong
      {"\xE1\x80\x80\xEC\xBF\xBF", 2},          // E1-EC
      {"\xED\x80\x80\xED\x9F\xBF", 2},          // ED: up to 9F, beyond it a surrogate
      {"\xEE\x80\x80\xEF\xBF\xBF", 2},          // EE-EF
      {"\xF0\x90\x80\x80\xF0\x8F\xBF\xBF", 5},  // F0: from 90, below it overlong
      {"\xF1\x80\x80\x80\xF3\xBF\xBF\xBF", 2},  // F1-F3
      {"\xF4\x80\x80\x80\xF4\x8F\xBF\xBF", 2},  // F4: up to 8F
      {"\xF5\x80\x80\x80", 4},                  // F5-FF: never in UTF-8
      {"\xF6\x80\x80\x80", 4},
      {"\xF7\xBF\xBF\xBF", 4},
      {"\xFF\x80\x80\x80", 4},
  };
  for (const auto& [text, characters] : cases) {
    EXPECT_EQ(Characters(text), characters) << testing::PrintToString(std::string(text));
  }
}

}  // namespace
