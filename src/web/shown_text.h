#ifndef SHELVORANQUIST_WEB_SHOWN_TEXT_H_
#define SHELVORANQUIST_WEB_SHOWN_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

// A text of any bytes as a page shows it: valid UTF-8 throughout, with U+FFFD standing for each
// byte that is not part of a valid UTF-8 sequence (no overlong form, no surrogate, nothing above
// U+10FFFF) and for each control character (C0, DEL and C1). Texts are kept at the desk as they
// were typed, so a title may hold anything; a page never passes such bytes on to a browser.
class ShownText {
 public:
  explicit ShownText(std::string_view bytes);

  const std::string& Text() const { return _text; }

  // Whether every byte was part of valid UTF-8; control characters are valid UTF-8.
  bool Valid_utf8() const { return _valid_utf8; }

  // The characters of the text, as the desk's field limits count them: a byte that is not
  // valid UTF-8 is a character of its own.
  std::size_t Characters() const { return _characters; }

 private:
  std::string _text;
  bool _valid_utf8 = true;
  std::size_t _characters = 0;
};

#endif  // SHELVORANQUIST_WEB_SHOWN_TEXT_H_
