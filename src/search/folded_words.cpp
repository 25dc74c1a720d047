#include "search/folded_words.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/uclean.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <cstdlib>
#include <stdexcept>

namespace {

const icu::Normalizer2& Normalizer(UNormalization2Mode mode) {
  // ICU keeps what it loads for the whole run; it is given back at exit, when no thread folds
  // any more, so that nothing is left allocated.
  static const bool cleaned_at_exit = std::atexit(u_cleanup) == 0;
  static_cast<void>(cleaned_at_exit);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* normalizer = icu::Normalizer2::getInstance(nullptr, "nfc", mode, status);
  if (U_FAILURE(status) != 0 or normalizer == nullptr) {
    throw std::runtime_error(std::string("Unicode normalization unavailable: ") +
                             u_errorName(status));
  }
  return *normalizer;
}

icu::UnicodeString Normalized(const icu::Normalizer2& normalizer, const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString normalized = normalizer.normalize(text, status);
  if (U_FAILURE(status) != 0) {
    throw std::runtime_error(std::string("Unicode normalization failed: ") + u_errorName(status));
  }
  return normalized;
}

// A mark stays with its letter in a word; accents were stripped before this is asked.
bool In_word(UChar32 character) {
  if (u_isalnum(character) != 0) return true;
  const auto type = static_cast<UCharCategory>(u_charType(character));
  return type == U_NON_SPACING_MARK or type == U_COMBINING_SPACING_MARK or type == U_ENCLOSING_MARK;
}

}  // namespace

FoldedWords::FoldedWords(std::string_view text) {
  // fromUTF8 stands U+FFFD for every byte that is not valid UTF-8.
  const icu::UnicodeString decoded = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
  icu::UnicodeString cased = decoded;
  cased.foldCase();
  // Decomposed, every accent is a nonspacing mark of its own, and goes.
  const icu::UnicodeString decomposed = Normalized(Normalizer(UNORM2_DECOMPOSE), cased);
  icu::UnicodeString stripped;
  for (std::int32_t at = 0; at < decomposed.length(); at = decomposed.moveIndex32(at, 1)) {
    const UChar32 character = decomposed.char32At(at);
    if (u_charType(character) == U_NON_SPACING_MARK) continue;
    stripped.append(u_iscntrl(character) != 0 ? UChar32{0xFFFD} : character);
  }
  const icu::UnicodeString folded = Normalized(Normalizer(UNORM2_COMPOSE), stripped);
  icu::UnicodeString word;
  const auto end_word = [this, &word] {
    if (word.isEmpty() != 0) return;
    std::string bytes;
    _words.push_back(word.toUTF8String(bytes));
    word.remove();
  };
  for (std::int32_t at = 0; at < folded.length(); at = folded.moveIndex32(at, 1)) {
    const UChar32 character = folded.char32At(at);
    if (In_word(character)) {
      word.append(character);
    } else {
      end_word();
    }
  }
  end_word();
  folded.toUTF8String(_text);
}
