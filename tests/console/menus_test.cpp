#include <gmock/gmock.h>

#include "support/library_session.h"

namespace {

using testing::ElementsAre;

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
