#include <gmock/gmock.h>

#include "catalogue/book_list.h"
#include "catalogue/cd_list.h"
#include "catalogue/journal_list.h"
#include "catalogue/video_list.h"
#include "circulation/hold.h"
#include "circulation/loan.h"
#include "members/member.h"
#include "support/captured_output.h"
#include "support/test_clock.h"

namespace {

using testing::IsEmpty;
using testing::Pointee;
using testing::Property;

class ItemListTest : public testing::Test {
 protected:
  TestClock clock{2026, 12, 8, 10, 30};
  Member ann{"Ann", "", "", "", 7};
  BookList books;
};

TEST_F(ItemListTest, EmptyListingsSayNoItem) {
  EXPECT_EQ(Output_of([&] { books.List_all(); }), "No Book in the library\n");
  EXPECT_EQ(Output_of([] { CdList().List_all(); }), "No CD in the library\n");
  EXPECT_EQ(Output_of([] { VideoList().List_all(); }), "No video in the library\n");
  EXPECT_EQ(Output_of([] { JournalList().List_all(); }),
            "The details of the journal\t:\nNo journal in the library\n");
}

TEST_F(ItemListTest, LookupIsExactAndTakesTheFirstAdded) {
  books.Add("B1", "First", "A", 14);
  books.Add("B1", "Second", "A", 14);
  EXPECT_THAT(books.Find_by_call_number("B1"), Pointee(Property(&Book::Title, "First")));
  EXPECT_EQ(books.Find_by_call_number("b1"), nullptr);
  EXPECT_EQ(books.Find_by_call_number("B1 "), nullptr);
  books.Remove("B1");
  EXPECT_EQ(books.Count(), 1);
  EXPECT_THAT(books.Find_by_call_number("B1"), Pointee(Property(&Book::Title, "Second")));
}

TEST_F(ItemListTest, OnlyTheJournalLookupSaysNotFound) {
  EXPECT_EQ(Output_of([&] { EXPECT_EQ(books.Find_by_call_number("X"), nullptr); }), "");
  JournalList journals;
  EXPECT_EQ(Output_of([&] { EXPECT_EQ(journals.Find_by_call_number("X"), nullptr); }),
            "Journal NOT FOUND!\n");
  EXPECT_EQ(Output_of([&] { journals.Remove("X"); }), "Journal NOT FOUND!\n");
}

TEST_F(ItemListTest, StoredItemsStayPutWhateverIsAddedOrRemoved) {
  books.Add("B1", "One", "A", 14);
  books.Add("B2", "Two", "A", 14);
  books.Add("B3", "Three", "A", 14);
  Book* second = books.Find_by_call_number("B2");
  Book* third = books.Find_by_call_number("B3");
  for (int i = 0; i < 1000; ++i) books.Add(std::string("X").append(std::to_string(i)), "T", "A", 1);
  books.Remove("B1");
  EXPECT_EQ(books.Find_by_call_number("B2"), second);
  EXPECT_EQ(&books.At(0), second);
  EXPECT_EQ(&books.At(1), third);
  EXPECT_EQ(second->Title(), "Two");
}

TEST_F(ItemListTest, RemovingAnItemObjectLeavesItsTwinWithTheSameBarCode) {
  books.Add("B1", "First", "A", 14);
  books.Add("B1", "Second", "A", 14);
  const Book& second = books.At(1);
  books.Remove(second);
  ASSERT_EQ(books.Count(), 1);
  EXPECT_EQ(books.At(0).Title(), "First");
}

TEST_F(ItemListTest, SearchesReturnFreshCopiesInOrder) {
  books.Add("B1", "Hamlet", "Shakespeare", 14);
  books.Add("B2", "Hamlet", "Shakespeare", 7);
  books.Add("B3", "Other", "Shakespeare", 14);
  books.Add("B4", "Hamlet", "Kyd", 21);
  Book& lent = *books.Find_by_call_number("B2");
  const Loan loan(&lent, &ann);
  lent.Lend(loan, lent.Due_when_lent());

  const std::optional<BookList> found = books.Search_by_title("Hamlet");
  ASSERT_TRUE(found);
  ASSERT_EQ(found->Count(), 3);
  EXPECT_EQ(found->At(0).Call_number(), "B1");
  EXPECT_EQ(found->At(1).Call_number(), "B2");
  EXPECT_EQ(found->At(1).Loan_days(), 7);
  EXPECT_FALSE(found->At(1).Is_on_loan());
  EXPECT_NE(&found->At(1), &lent);
  EXPECT_EQ(found->At(2).Author(), "Kyd");
  // Copies are never on loan, so their listing has no due-date line.
  EXPECT_THAT(Output_of([&] { found->List_all(); }), testing::Not(testing::HasSubstr("due")));

  const std::optional<BookList> by_author = books.Search_by_author("Shakespeare");
  ASSERT_TRUE(by_author);
  EXPECT_EQ(by_author->Count(), 3);
}

TEST_F(ItemListTest, SearchesThatFindNothingSayTheirKindsLine) {
  books.Add("B1", "Hamlet", "Shakespeare", 14);
  EXPECT_EQ(Output_of([&] { EXPECT_FALSE(books.Search_by_author("shakespeare")); }),
            "BOOK NOT FOUND!\n");
  EXPECT_EQ(Output_of([&] { EXPECT_FALSE(books.Search_by_title("Ham")); }), "BOOK NOT FOUND!\n");
  EXPECT_EQ(Output_of([] { EXPECT_FALSE(CdList().Search_by_artist("X")); }), "CD NOT FOUND!\n");
  EXPECT_EQ(Output_of([] { EXPECT_FALSE(VideoList().Search_by_director("X")); }),
            "VIDEO NOT FOUND!\n");
  EXPECT_EQ(Output_of([] { EXPECT_FALSE(JournalList().Search_by_editor("X")); }), "");
}

TEST_F(ItemListTest, SearchCopiesOfEachKindKeepTheirFieldsInPlace) {
  VideoList videos;
  videos.Add("V1", "Heat", "Mann", "R", 3);
  const std::optional<VideoList> video = videos.Search_by_director("Mann");
  ASSERT_TRUE(video);
  EXPECT_EQ(video->At(0).Rating(), "R");
  EXPECT_EQ(video->At(0).Loan_days(), 3);
  JournalList journals;
  journals.Add("J1", "Nature", "Ed", "Cells");
  const std::optional<JournalList> journal = journals.Search_by_editor("Ed");
  ASSERT_TRUE(journal);
  EXPECT_EQ(journal->At(0).Table_of_contents(), "Cells");
}

TEST_F(ItemListTest, AvailableByTitleSkipsHeldCopiesButNotLentOnes) {
  books.Add("B1", "Hamlet", "A", 14);
  books.Add("B2", "Hamlet", "A", 14);
  Book& held = books.At(0);
  Book& lent = books.At(1);
  const Hold hold(&held, &ann);
  held.Place_hold(hold, held.Due_when_held());
  const Loan loan(&lent, &ann);
  lent.Lend(loan, lent.Due_when_lent());
  std::optional<BookList> available;
  EXPECT_EQ(Output_of([&] { available = books.Available_by_title("Hamlet"); }), "");
  ASSERT_TRUE(available);
  ASSERT_EQ(available->Count(), 1);
  EXPECT_EQ(available->At(0).Call_number(), "B2");

  const Hold second_hold(&lent, &ann);
  lent.Place_hold(second_hold, lent.Due_when_held());
  EXPECT_EQ(Output_of([&] { EXPECT_FALSE(books.Available_by_title("Hamlet")); }), "");
}

TEST_F(ItemListTest, BookListingFramesEachBookAndShowsTheDueDateOfALoan) {
  books.Add("B1", "Hamlet", "Shakespeare", 14);
  books.Add("B2", "Lear", "Shakespeare", 14);
  Book& lent = books.At(0);
  const Loan loan(&lent, &ann);
  lent.Lend(loan, lent.Due_when_lent());
  EXPECT_EQ(Output_of([&] { books.List_all(); }),
            "======================\n"
            "The details of the Book:  \n"
            "Title       :Hamlet\n"
            "Call number :B1\n"
            "Author's Name\t:Shakespeare\n"
            "Book loan due date : 10:30am  22/12/2026\n"
            "======================\n"
            "======================\n"
            "The details of the Book:  \n"
            "Title       :Lear\n"
            "Call number :B2\n"
            "Author's Name\t:Shakespeare\n"
            "======================\n");
}

TEST_F(ItemListTest, OtherListingsHaveNoSeparatorsAndTheirOwnLabels) {
  CdList cds;
  cds.Add("C1", "Blue", "Ray", "45", 7);
  const Loan loan(&cds.At(0), &ann);
  cds.At(0).Lend(loan, cds.At(0).Due_when_lent());
  EXPECT_EQ(Output_of([&] { cds.List_all(); }),
            "The details of the CD:  \nTitle       :Blue\nCall number :C1\nArtist's Name\t:Ray\n"
            "Play Time\t:45\nCD loan due date : 10:30am  15/12/2026\n");
  VideoList videos;
  videos.Add("V1", "Heat", "Mann", "PG", 2);
  const Loan video_loan(&videos.At(0), &ann);
  videos.At(0).Lend(video_loan, videos.At(0).Due_when_lent());
  EXPECT_THAT(Output_of([&] { videos.List_all(); }),
              testing::EndsWith("The rating of the video  :PG\n"
                                "Video loan due date : 10:30am  10/12/2026\n"));
  JournalList journals;
  journals.Add("J1", "Nature", "Ed", "Cells");
  EXPECT_EQ(Output_of([&] { journals.List_all(); }),
            "The details of the journal\t:\nThe details of the journal:  \nTitle       :Nature\n"
            "Call number :J1\nEditor's Name\t:Ed\nTable of Contents   :Cells\n");
}

TEST_F(ItemListTest, OverdueListingNamesBorrowersOfOverdueLoansOnly) {
  Member bob("Bob", "", "", "", 8);
  CdList cds;
  cds.Add("C1", "Blue", "Ray", "45", 1);
  cds.Add("C2", "Red", "Ray", "45", 1);
  cds.Add("C3", "Green", "Ray", "45", 30);
  cds.Add("C4", "Held", "Ray", "45", 1);
  const Loan first(&cds.At(0), &ann);
  const Loan second(&cds.At(1), &bob);
  const Loan third(&cds.At(2), &bob);
  cds.At(0).Lend(first, cds.At(0).Due_when_lent());
  cds.At(1).Lend(second, cds.At(1).Due_when_lent());
  cds.At(2).Lend(third, cds.At(2).Due_when_lent());
  const Hold hold(&cds.At(3), &ann);
  cds.At(3).Place_hold(hold, cds.At(3).Due_when_held());
  EXPECT_EQ(Output_of([&] { cds.List_overdue(); }), "");
  clock.Advance_days(2);
  EXPECT_EQ(Output_of([&] { cds.List_overdue(); }), "Ann\nBob\n");
  cds.At(0).Take_back();
  EXPECT_EQ(Output_of([&] { cds.List_overdue(); }), "Bob\n");
}

}  // namespace
