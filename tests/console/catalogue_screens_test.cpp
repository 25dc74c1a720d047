#include <gmock/gmock.h>

#include "support/library_session.h"
#include "support/records_check.h"

namespace {

using testing::HasSubstr;
using testing::IsEmpty;

std::string Screen_heading(const std::string& heading, const std::string& kind,
                           const std::string& verb, const std::string& creator) {
  return catalogue_menu + "\n" + heading + "\n=============\n1. " + verb + " " + kind +
         " through bar code\n2. " + verb + " " + kind + " through title\n3. " + verb + " " + kind +
         " through " + creator + "\n\nSelection : ";
}

const std::string book_heading = Screen_heading("SEARCH BOOK", "book", "Search", "author");
const std::string cd_heading = Screen_heading("SELECT CD", "cd", "Select", "artist");
const std::string video_heading = Screen_heading("SELECT VIDEO", "video", "Select", "director");
const std::string journal_heading = Screen_heading("SELECT JOURNAL", "journal", "Select", "editor");

const std::string hamlet_details =
    "The details of the Book:  \nTitle       :Hamlet\nCall number :B1\n"
    "Author's Name\t:Shakespeare\n";

// Ann (card 7, selected), Bob (card 8), Hamlet (B1) and Othello (B2) by Shakespeare, a CD, a
// video and a journal.
class CatalogueScreensTest : public testing::Test {
 protected:
  CatalogueScreensTest() {
    session.Type(Add_member_keys("Ann", 7) + Add_member_keys("Bob", 8) +
                 Add_book_keys("B1", "Hamlet", "Shakespeare", 14) +
                 Add_book_keys("B2", "Othello", "Shakespeare", 14) +
                 Add_cd_keys("C1", "Blue", "Ray", 7) + Add_video_keys("V1", "Heat", "Mann", 2) +
                 Add_journal_keys("J1", "Nature", "Ed") + Select_member_keys(7));
    session.Run();
  }
  ~CatalogueScreensTest() override { EXPECT_THAT(Record_faults(session.library()), IsEmpty()); }

  // Opens the online catalogue and types `keys` there; returns what it wrote.
  std::string Catalogue(const std::string& keys) {
    return Last_screen(session.Type("12\n" + keys).Run());
  }

  LibrarySession session;
};

TEST_F(CatalogueScreensTest, ABookOnLoanFoundByBarCodeShowsItsDueDateBeforeTheQuestion) {
  session.Type(Select_item_keys("B1") + "7\n");
  EXPECT_EQ(Catalogue("1\n1\nB1\nn\n"),
            book_heading + "Please enter book's bar code number : " + hamlet_details +
                "Book loan due date : 10:30am  22/12/2026\n"
                "Do you want to hold this book (y/n)?\n");
  EXPECT_EQ(session.library().Selected_book()->Call_number(), "B1");
}

TEST_F(CatalogueScreensTest, ABookOnTheShelfHasNoDueDateAndYesHoldsIt) {
  EXPECT_EQ(
      Catalogue("1\n1\nB1\nyes please\n"),
      book_heading + "Please enter book's bar code number : " + hamlet_details +
          "Do you want to hold this book (y/n)?\n" +
          Member_details("Ann", 7, "", "Books hold     = B1 Hamlet Due date :10:30am  9/12/2026"));
  // A hold from the catalogue keeps the selection.
  EXPECT_NE(session.library().Selected_book(), nullptr);
}

TEST_F(CatalogueScreensTest, OnlyALowerCaseYIsYes) {
  Catalogue("1\n1\nB1\nY\n");
  Catalogue("1\n1\nB1\n  n\n");
  EXPECT_FALSE(session.library().Books().At(0).Is_on_hold());
}

TEST_F(CatalogueScreensTest, AnUnknownBarCodeEndsTheScreenAndClearsTheSelection) {
  session.Type(Select_item_keys("B1"));
  EXPECT_EQ(Catalogue("1\n1\nB9\n"),
            book_heading + "Please enter book's bar code number : Not Book Found!\n");
  EXPECT_EQ(session.library().Selected_book(), nullptr);
  EXPECT_EQ(Catalogue("2\n1\nC9\n"),
            cd_heading + "Please enter CD's bar code number : Not CD Found!\n");
  EXPECT_EQ(Catalogue("4\n1\nV9\n"),
            video_heading + "Please enter video's bar code number : VIDEO NOT FOUND!\n");
  EXPECT_EQ(Catalogue("3\n1\nJ9\n"), journal_heading +
                                         "Please enter journal's bar code number : "
                                         "Journal NOT FOUND!\nJOURNAL NOT FOUND!\n");
}

TEST_F(CatalogueScreensTest, ACdShowsOnlyItsDueDateAndAVideoGoesStraightToTheQuestion) {
  session.Type(Select_item_keys("C1") + "7\n" + Select_item_keys("V1") + "7\n");
  EXPECT_EQ(Catalogue("2\n1\nC1\nn\n"), cd_heading +
                                            "Please enter CD's bar code number : "
                                            "CD loan due date : 10:30am  15/12/2026\n"
                                            "Do you want to hold this CD (y/n)?\n");
  EXPECT_EQ(Catalogue("4\n1\nV1\nn\n"), video_heading +
                                            "Please enter video's bar code number : "
                                            "Do you want to hold this Video (y/n)?\n");
}

TEST_F(CatalogueScreensTest, AJournalFoundByBarCodeIsSelectedWithoutAQuestion) {
  EXPECT_EQ(Catalogue("3\n1\nJ1\n"), journal_heading + "Please enter journal's bar code number : ");
  EXPECT_EQ(session.library().Selected_journal()->Call_number(), "J1");
  // A selected journal alone is no item for the details display.
  EXPECT_EQ(Last_screen(session.Type("11\n").Run()), "ITEM NOT FOUND!\n");
}

TEST_F(CatalogueScreensTest, AnAuthorSearchListsEveryBookAndAsksForTheBarCodeToHold) {
  const std::string listing =
      "======================\n" + hamlet_details + "======================\n" +
      "======================\nThe details of the Book:  \nTitle       :Othello\n"
      "Call number :B2\nAuthor's Name\t:Shakespeare\n======================\n";
  EXPECT_EQ(Catalogue("1\n3\nShakespeare\ny\nB9\n"),
            book_heading + "Please enter Author's name : " + listing +
                "Do you want to hold this book (y/n)?\n"
                "Please enter the book's bar code to be hold : BOOK NOT FOUND!\n");
  EXPECT_EQ(session.library().Selected_book(), nullptr);
  EXPECT_THAT(Catalogue("1\n3\nShakespeare\ny\nB2\n"),
              HasSubstr("Please enter the book's bar code to be hold : ===================\n"));
  EXPECT_TRUE(session.library().Books().At(1).Is_on_hold());
}

TEST_F(CatalogueScreensTest, SearchesThatFindNothingSayItTwice) {
  EXPECT_EQ(Catalogue("1\n2\nMacbeth\n"),
            book_heading + "Please enter book's title : BOOK NOT FOUND!\nNot Book Found!\n");
  EXPECT_EQ(Catalogue("2\n3\nNobody\n"),
            cd_heading + "Please enter Artist's name : CD NOT FOUND!\nNot CD Found!\n");
  EXPECT_EQ(Catalogue("4\n2\nNone\n"),
            video_heading + "Please enter video's title : VIDEO NOT FOUND!\nNot Video Found!\n");
  EXPECT_EQ(Catalogue("3\n2\nNone\n"), journal_heading + "Please enter journal's title : ");
}

TEST_F(CatalogueScreensTest, AJournalSearchListsWithoutAQuestion) {
  EXPECT_EQ(Catalogue("3\n3\nEd\n"),
            journal_heading +
                "Please enter editor's name : The details of the journal\t:\n"
                "The details of the journal:  \nTitle       :Nature\nCall number :J1\n"
                "Editor's Name\t:Ed\nTable of Contents   :Contents\n");
}

TEST_F(CatalogueScreensTest, CdAndVideoSearchesHoldThroughTheirOwnPrompts) {
  EXPECT_THAT(Catalogue("2\n2\nBlue\ny\nC9\n"),
              HasSubstr("Do you want to hold this CD (y/n)?\n"
                        "Please enter the CD's bar code to be hold : CD NOT FOUND!\n"));
  EXPECT_THAT(Catalogue("4\n3\nMann\ny\nV9\n"),
              HasSubstr("Do you want to hold this Video (y/n)?\n"
                        "Please enter the Video's bar code to be hold : Video NOT FOUND!\n"));
  EXPECT_THAT(Catalogue("4\n3\nMann\ny\nV1\n"), HasSubstr("Books hold     = V1 Heat"));
  EXPECT_THAT(Catalogue("2\n1\nC1\ny\n"), HasSubstr("Books hold     = C1 Blue"));
}

TEST_F(CatalogueScreensTest, AnUnknownBarCodeToHoldSaysOnlyNotFoundWithOrWithoutAMember) {
  const struct {
    const char* keys;
    const char* ending;
  } kinds[] = {
      {"1\n2\nHamlet\ny\nB9\n",
       "(y/n)?\nPlease enter the book's bar code to be hold : BOOK NOT FOUND!\n"},
      {"2\n3\nRay\ny\nC9\n", "(y/n)?\nPlease enter the CD's bar code to be hold : CD NOT FOUND!\n"},
      {"4\n2\nHeat\ny\nV9\n",
       "(y/n)?\nPlease enter the Video's bar code to be hold : Video NOT FOUND!\n"},
  };
  for (const bool member_selected : {true, false}) {
    // No member has card 99: the search leaves none selected.
    if (not member_selected) session.Type("2\n1\n99\n");
    for (const auto& [keys, ending] : kinds) {
      EXPECT_THAT(Catalogue(keys), testing::EndsWith(ending))
          << "member selected: " << member_selected;
    }
  }
  EXPECT_THAT(session.library().Holds().Entries(), IsEmpty());
}

TEST_F(CatalogueScreensTest, AHoldWithoutAMemberSaysSo) {
  session.Type("2\n1\n99\n");
  EXPECT_THAT(Catalogue("1\n1\nB1\ny\n"),
              testing::EndsWith("(y/n)?\nA MEMBER MUST BE SELECTED BEFORE HOLD AN ITEM!\n"));
}

TEST_F(CatalogueScreensTest, OtherChoicesEndTheScreenAndReturnToTheMainMenu) {
  EXPECT_EQ(Catalogue("1\n4\n"), book_heading);
  EXPECT_EQ(Catalogue("4\nnone\n"), video_heading);
}

}  // namespace
