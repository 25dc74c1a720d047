#include "search/folded_words.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAreArray;

struct Folding {
  std::string text;
  std::string folded;
  std::vector<std::string> words;
};

class FoldedWordsTest : public ::testing::TestWithParam<Folding> {};

TEST_P(FoldedWordsTest, FoldsCaseAndAccentsAndCutsWords) {
  const FoldedWords folded(GetParam().text);
  EXPECT_EQ(folded.Text(), GetParam().folded);
  EXPECT_THAT(folded.Words(), ElementsAreArray(GetParam().words));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FoldedWordsTest,
    ::testing::Values(
        Folding{"The River Road", "the river road", {"the", "river", "road"}},
        Folding{"\xC3\x89mile  ZOLA", "emile  zola", {"emile", "zola"}},  // precomposed É
        Folding{"E\xCC\x81mile", "emile", {"emile"}},                     // E + combining acute
        Folding{"Stra\xC3\x9F"
                "e",
                "strasse",
                {"strasse"}},  // ß folds to ss
        Folding{"B-0042/x", "b-0042/x", {"b", "0042", "x"}},
        Folding{
            "\xCE\x9A\xCF\x8C\xCF\x83\xCE\xBC\xCE\xBF\xCF\x82",
            "\xCE\xBA\xCE\xBF\xCF\x83\xCE\xBC\xCE\xBF\xCF\x83",
            {"\xCE\xBA\xCE\xBF\xCF\x83\xCE\xBC\xCE\xBF\xCF\x83"}},  // Κόσμος, final sigma folded
        // A stray byte and a control character are U+FFFD, which parts words.
        Folding{"ab\xFF"
                "cd\x01"
                "ef",
                "ab\xEF\xBF\xBD"
                "cd\xEF\xBF\xBD"
                "ef",
                {"ab", "cd", "ef"}},
        Folding{std::string("a\0b", 3),
                "a\xEF\xBF\xBD"
                "b",
                {"a", "b"}},
        Folding{"", "", {}}, Folding{" -- ", " -- ", {}}));

}  // namespace
