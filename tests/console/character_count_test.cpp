#include "console/character_count.h"

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
  };
  for (const auto& [text, characters] : cases) {
    EXPECT_EQ(Characters(text), characters) << testing::PrintToString(std::string(text));
  }
}

}  // namespace
