#include <fcntl.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "console/console_input.h"
#include "console/library.h"
#include "support/library_session.h"
#include "support/redirected_output.h"

namespace {

using testing::ElementsAre;

// A librarian at a terminal, its screen and its keyboard in one: each step's keys are typed the
// moment its awaited text is on the screen after the previous step's, as an answer is typed as
// soon as its question appears. Text written but not yet flushed is not on the screen. Once the
// steps run out, the input ends.
class Librarian : public std::streambuf {
 public:
  struct Step {
    std::string awaited;
    std::string keys;
  };
  explicit Librarian(std::vector<Step> steps) : _steps(std::move(steps)) {}

  // Whether the awaited text of every step has appeared, and its keys have been typed.
  bool Typed_all() const { return _next == _steps.size(); }

 protected:
  int_type overflow(int_type c) override {
    if (not traits_type::eq_int_type(c, traits_type::eof()))
      _written.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  int sync() override {
    _screen += _written;
    _written.clear();
    while (_next < _steps.size()) {
      const std::size_t at = _screen.find(_steps[_next].awaited, _seen);
      if (at == std::string::npos) break;
      _seen = at + _steps[_next].awaited.size();
      _typed.erase(0, static_cast<std::size_t>(gptr() - eback()));
      _typed += _steps[_next++].keys;
      setg(_typed.data(), _typed.data(), _typed.data() + _typed.size());
    }
    return 0;
  }
  int_type underflow() override {
    return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
  }

 private:
  std::vector<Step> _steps;
  std::size_t _next = 0;  // the first step not yet typed
  std::string _written;   // not yet flushed
  std::string _screen;
  std::size_t _seen = 0;  // where the last awaited text ended
  std::string _typed;     // the get area: typed and not yet discarded
};

TEST(MainMenuTest, QuitAtOnceShowsTheMenuOnceAndAnEmptyLine) {
  LibrarySession session;
  EXPECT_EQ(session.Type("14\n").Run(), main_menu + "\n");
}

TEST(MainMenuTest, RowsAreSixtyTwoCharactersWithTheRightColumnOnItsFullStop) {
  std::size_t row_start = 1;
  for (int row = 0; row < 10; ++row) {
    const std::size_t row_end = main_menu.find('\n', row_start);
    const std::string text = main_menu.substr(row_start, row_end - row_start);
    EXPECT_EQ(text.size(), 62u) << text;
    if (row >= 3) {
      EXPECT_EQ(text[37], '.') << text;
    }
    row_start = row_end + 1;
  }
}

TEST(MainMenuTest, InvalidChoicesShowTheMenuAgainSilently) {
  LibrarySession session;
  const std::string out = session.Type("0\n15\n-1\nabc\n99999999999\n14\n").Run();
  EXPECT_THAT(Screens(out), ElementsAre("", "", "", "", "", ""));
}

TEST(MainMenuTest, TheRestOfTheLineAfterAChoiceIsDropped) {
  LibrarySession session;
  // "3 12" deletes (no member is registered) and does not go on to the catalogue.
  EXPECT_THAT(Screens(session.Type("3 12\n14\n").Run()), ElementsAre("MEMBER NOT FOUND!\n", ""));
}

TEST(MainMenuTest, AnEmptyLineAtTheSelectionWaitsWithoutAskingAgain) {
  LibrarySession session;
  EXPECT_EQ(session.Type("\n\n14\n").Run(), main_menu + "\n");
}

TEST(MainMenuTest, EndOfInputEndsTheRunQuietly) {
  LibrarySession session;
  EXPECT_EQ(session.Run(), main_menu);
  LibrarySession mid_screen;
  EXPECT_THAT(mid_screen.Type("1\nAnn\n").Run(),
              testing::EndsWith("ADD NEW MEMBER\n==============\n\nName: Address: "));
  EXPECT_EQ(mid_screen.library().Members().Count(), 0);
}

TEST(ItemMenuTest, ShowsItsRowsAndReturnsToTheMainMenuOnSix) {
  LibrarySession session;
  EXPECT_EQ(session.Type("5\n6\n14\n").Run(),
            main_menu + "\n" + item_menu + "\n" + main_menu + "\n");
}

TEST(ItemMenuTest, AnInvalidChoiceShowsTheSubmenuAgain) {
  LibrarySession session;
  EXPECT_EQ(
      session.Type("5\n7\nx\n6\n14\n").Run(),
      main_menu + "\n" + item_menu + "\n" + item_menu + "\n" + item_menu + "\n" + main_menu + "\n");
}

TEST(OnlineCatalogTest, HasNoPromptAndShowsItselfAgainOnAnInvalidChoice) {
  LibrarySession session;
  EXPECT_THAT(
      Screens(session.Type("12\n0\nq\n5\n14\n").Run()),
      ElementsAre(catalogue_menu + "\n" + catalogue_menu + "\n" + catalogue_menu + "\n", ""));
}

TEST(OnlineCatalogTest, AnswersTypedAsSoonAsTheMenuOrTheHoldQuestionShowsAreKept) {
  // Type-ahead goes before either is written: dropped after it, the answer would go with it.
  Librarian librarian({{"selection : ", "5\n"},
                       {"selection : ", "1\n"},
                       {"Barcode: ", "B1\n"},
                       {"Title: ", "Dune\n"},
                       {"Author: ", "Orr\n"},
                       {"(days): ", "14\n"},
                       {"selection : ", "6\n"},
                       {"selection : ", "12\n"},
                       {"5, Back to main menu", "1\n"},
                       {"Selection : ", "1\n"},
                       {"bar code number : ", "B1\n"},
                       {"(y/n)?\n", "y\n"},
                       {"selection : ", "14\n"}});
  // The input discards as on a terminal; the keyboard holds the type-ahead itself, and the
  // terminal's own flush finds nothing to drop in /dev/null.
  const int no_terminal = open("/dev/null", O_RDONLY);
  ASSERT_GE(no_terminal, 0);
  {
    RedirectedOutput screen(librarian);
    ConsoleInput input(librarian, no_terminal);
    Library library(input);
    library.Main_menu();
    EXPECT_TRUE(library.Books().At(0).Is_on_hold());
  }
  close(no_terminal);
  EXPECT_TRUE(librarian.Typed_all());
}

TEST(OnlineCatalogTest, ASearchScreenReturnsToTheMainMenu) {
  LibrarySession session;
  const std::vector<std::string> screens = Screens(session.Type("12\n3\n4\n14\n").Run());
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[0], catalogue_menu + "\n" +
                            "SELECT JOURNAL\n=============\n"
                            "1. Select journal through bar code\n"
                            "2. Select journal through title\n"
                            "3. Select journal through editor\n\n"
                            "Selection : ");
}

}  // namespace
