#ifndef SHELVORANQUIST_SEARCH_FOLDED_WORDS_H_
#define SHELVORANQUIST_SEARCH_FOLDED_WORDS_H_

#include <string>
#include <string_view>
#include <vector>

// A text as the public catalogue searches it: case folded and accents stripped ("Émile" and
// "EMILE" both fold to "emile"), then cut into words. The desk folds each item's texts when it
// keeps the item and the catalogue folds the patron's query the same way, so that a word typed
// matches a word kept whichever engine holds the records.
class FoldedWords {
 public:
  // `text` may hold any bytes. A byte that is not part of valid UTF-8 and a control character
  // fold to U+FFFD, which is no part of any word.
  explicit FoldedWords(std::string_view text);

  // The whole text folded, valid UTF-8: what the catalogue sorts titles by.
  const std::string& Text() const { return _text; }

  // The words of the folded text in order, repeats kept: each a longest run of letters and
  // digits (and the marks that belong to them), never empty.
  const std::vector<std::string>& Words() const { return _words; }

 private:
  std::string _text;
  std::vector<std::string> _words;
};

#endif  // SHELVORANQUIST_SEARCH_FOLDED_WORDS_H_
