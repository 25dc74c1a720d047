#include <gmock/gmock.h>

#include "support/library_session.h"
#include "support/records_check.h"

namespace {

using testing::AllOf;
using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Pointee;
using testing::Property;

// Runs what was typed so far and then `keys` in the "Add/Delete item" submenu; returns what the
// screen reached by `keys` wrote, between the two submenus around it.
std::string Item_screen(LibrarySession& session, const std::string& keys) {
  const std::vector<std::string> screens = Screens(session.Type("5\n" + keys + "6\n").Run());
  const std::string& out = screens.at(screens.size() - 2);
  // The submenu as it stands between two of its screens, with the empty line after its read.
  const std::string item_menu_read = item_menu + "\n";
  const std::size_t first = out.find(item_menu_read) + item_menu_read.size();
  return out.substr(first, out.find(item_menu_read, first) - first);
}

class ItemScreensTest : public testing::Test {
 protected:
  LibrarySession session;
};

TEST_F(ItemScreensTest, AddScreensAskForTheirKindsFields) {
  EXPECT_EQ(Item_screen(session, "1\nB1\nHamlet\nShakespeare\n14\n"),
            "ADD NEW BOOK\n============\n\n"
            "Barcode: Title: Author: Book's loan length (days): ");
  EXPECT_EQ(Item_screen(session, "2\nC1\nBlue\nRay\n45 min\n7\n"),
            "ADD NEW CD\n==========\n\n"
            "Barcode: Title: Artist: Play Time: CD's loan length (days): ");
  EXPECT_EQ(Item_screen(session, "3\nJ1\nNature\nEd\nCells\n"),
            "ADD NEW JOURNAL\n===============\n\n"
            "Barcode: Title: Editor: Table of content: ");
  EXPECT_EQ(Item_screen(session, "4\nV1\nHeat\nMann\nPG\n3\n"),
            "ADD NEW VIDEO\n============\n\n"
            "Barcode: Title: Director: Rating: Video's loan length (days): ");
  const Library& library = session.library();
  EXPECT_THAT(
      library.Books().Find_by_call_number("B1"),
      Pointee(AllOf(Property(&Book::Author, "Shakespeare"), Property(&Book::Loan_days, 14))));
  EXPECT_THAT(library.Cds().Find_by_call_number("C1"), Pointee(Property(&Cd::Play_time, "45 min")));
  EXPECT_THAT(library.Journals().Find_by_call_number("J1"),
              Pointee(Property(&Journal::Table_of_contents, "Cells")));
  EXPECT_THAT(library.Videos().Find_by_call_number("V1"), Pointee(Property(&Video::Rating, "PG")));
}

TEST_F(ItemScreensTest, FieldLimitsAndLoanLengthsAreAskedAgain) {
  const std::string contents(149, 'c');
  EXPECT_EQ(Item_screen(session, "3\nJ1\nNature\nEd\n" + contents + "c\n" + contents + "\n"),
            "ADD NEW JOURNAL\n===============\n\n"
            "Barcode: Title: Editor: Table of content: "
            "PLEASE ENTER AT MOST 149 CHARACTERS!\nTable of content: ");
  EXPECT_EQ(session.library().Journals().At(0).Table_of_contents(), contents);
  EXPECT_EQ(Item_screen(session, "4\nV1\nHeat\nMann\n" + std::string(20, 'r') + "\nPG\n-1\nx\n0\n"),
            "ADD NEW VIDEO\n============\n\n"
            "Barcode: Title: Director: Rating: PLEASE ENTER AT MOST 19 CHARACTERS!\nRating: "
            "Video's loan length (days): LOAN LENGTH MUST BE 0 DAYS OR MORE!\n"
            "Video's loan length (days): PLEASE ENTER A NUMBER!\n"
            "Video's loan length (days): ");
  EXPECT_EQ(session.library().Videos().At(0).Loan_days(), 0);
  EXPECT_EQ(session.library().Videos().At(0).Rating(), "PG");
}

TEST_F(ItemScreensTest, EndOfInputInAnAddScreenStoresNothing) {
  session.Type("5\n1\nB1\nHamlet\nShakespeare\n").Run();
  EXPECT_TRUE(session.library().Books().Is_empty());
}

TEST_F(ItemScreensTest, RemovingTakesTheFirstOfTwinsAndSaysSoOnce) {
  session.Type(Add_book_keys("B1", "First", "A", 14) + Add_book_keys("B1", "Second", "A", 14));
  EXPECT_EQ(Item_screen(session, "5\nB1\n"),
            "READING BARCODE OF THE ITEM TO BE DELETED: "
            "Journal NOT FOUND!\nBOOK HAS BEEN REMOVED!\n");
  ASSERT_EQ(session.library().Books().Count(), 1);
  EXPECT_EQ(session.library().Books().At(0).Title(), "Second");
}

TEST_F(ItemScreensTest, RemovingGoesThroughEveryKindInItsOrder) {
  session.Type(Add_journal_keys("J1", "Nature", "Ed") + Add_book_keys("X1", "T", "A", 1) +
               Add_video_keys("X1", "T", "D", 1) + Add_cd_keys("X1", "T", "R", 1));
  EXPECT_EQ(Item_screen(session, "5\nJ1\n"),
            "READING BARCODE OF THE ITEM TO BE DELETED: JOURNAL HAS BEEN REMOVED!\n");
  EXPECT_EQ(Item_screen(session, "5\nX1\n"),
            "READING BARCODE OF THE ITEM TO BE DELETED: Journal NOT FOUND!\n"
            "BOOK HAS BEEN REMOVED!\nCD HAS BEEN REMOVED!\nVIDEO HAS BEEN REMOVED!\n");
  EXPECT_EQ(Item_screen(session, "5\nX1\n"),
            "READING BARCODE OF THE ITEM TO BE DELETED: Journal NOT FOUND!\nITEM NOT FOUND!\n");
}

TEST_F(ItemScreensTest, AnItemOnLoanOrOnHoldIsNotRemoved) {
  session.Type(Add_member_keys("Ann", 7) + Add_book_keys("B1", "Hamlet", "A", 14) +
               Add_cd_keys("B1", "Hamlet", "R", 14) + Add_video_keys("V1", "Heat", "D", 1) +
               Select_member_keys(7) + Select_item_keys("B1") + "7\n" + Select_item_keys("V1") +
               "9\n" + Select_item_keys("B1"));
  EXPECT_EQ(Item_screen(session, "5\nB1\n"),
            "READING BARCODE OF THE ITEM TO BE DELETED: Journal NOT FOUND!\n"
            "BOOK IS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!\n"
            "CD IS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!\n");
  EXPECT_EQ(Item_screen(session, "5\nV1\n"),
            "READING BARCODE OF THE ITEM TO BE DELETED: Journal NOT FOUND!\n"
            "VIDEO IS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!\n");
  EXPECT_EQ(session.library().Books().Count(), 1);
  EXPECT_EQ(session.library().Selected_book(), nullptr);
  EXPECT_EQ(session.library().Selected_cd(), nullptr);
  EXPECT_THAT(Record_faults(session.library()), IsEmpty());
}

TEST_F(ItemScreensTest, SelectingFindsEveryLendableKindWithTheBarCode) {
  session.Type(Add_book_keys("X1", "Hamlet", "A", 14) + Add_video_keys("X1", "Heat", "D", 1) +
               Add_journal_keys("J1", "Nature", "Ed") + Select_item_keys("X1") + "11\n" +
               Select_item_keys("J1") + "11\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[3], "SELECT ITEM\n=============\nPlease enter the bar code number : ");
  EXPECT_EQ(screens[4],
            "The details of the Book:  \nTitle       :Hamlet\nCall number :X1\n"
            "Author's Name\t:A\n"
            "The details of the video:  \nTitle       :Heat\nCall number :X1\n"
            "Director's  Name\t:D\nThe rating of the video  :PG\n");
  EXPECT_EQ(screens[5],
            "SELECT ITEM\n=============\nPlease enter the bar code number : ITEM NOT FOUND!\n");
  EXPECT_EQ(screens[6], "ITEM NOT FOUND!\n");
}

TEST_F(ItemScreensTest, ABookAndACdSharingABarCodeAreShownInThatOrder) {
  session.Type(Add_cd_keys("X1", "Blue", "R", 1) + Add_book_keys("X1", "Hamlet", "A", 14) +
               Select_item_keys("X1") + "11\n");
  const std::string details = Screens(session.Run())[3];
  ASSERT_THAT(details, HasSubstr("The details of the CD:  "));
  EXPECT_LT(details.find("The details of the Book:  "), details.find("The details of the CD:  "));
}

TEST_F(ItemScreensTest, ItemDetailsRightAfterStartFindNothing) {
  EXPECT_THAT(Screens(session.Type("11\n").Run()), ElementsAre("ITEM NOT FOUND!\n", ""));
}

}  // namespace
