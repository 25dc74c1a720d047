#include <gmock/gmock.h>

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/journal.h"
#include "catalogue/video.h"
#include "circulation/hold.h"
#include "circulation/loan.h"
#include "members/member.h"
#include "support/calendar_printers.h"
#include "support/captured_output.h"
#include "support/test_clock.h"

namespace {

TEST(ItemDetailsTest, EachKindWritesItsHeaderAndLabels) {
  EXPECT_EQ(Output_of([] { Book("B12", "Hamlet", "Shakespeare", 14).Print_details(); }),
            "The details of the Book:  \n"
            "Title       :Hamlet\n"
            "Call number :B12\n"
            "Author's Name\t:Shakespeare\n");
  EXPECT_EQ(Output_of([] { Cd("C1", "Blue", "Ray", "45 min", 7).Print_details(); }),
            "The details of the CD:  \n"
            "Title       :Blue\n"
            "Call number :C1\n"
            "Artist's Name\t:Ray\n"
            "Play Time\t:45 min\n");
  EXPECT_EQ(Output_of([] { Journal("J1", "Nature", "Ed", "Cells; Stars").Print_details(); }),
            "The details of the journal:  \n"
            "Title       :Nature\n"
            "Call number :J1\n"
            "Editor's Name\t:Ed\n"
            "Table of Contents   :Cells; Stars\n");
  EXPECT_EQ(Output_of([] { Video("V1", "Heat", "Mann", "PG", 3).Print_details(); }),
            "The details of the video:  \n"
            "Title       :Heat\n"
            "Call number :V1\n"
            "Director's  Name\t:Mann\n"
            "The rating of the video  :PG\n");
  EXPECT_THAT(Output_of([] { Book("B2", "T", "", 1).Print_details(); }),
              testing::EndsWith("Author's Name\t:\n"));
}

class LendableTest : public testing::Test {
 protected:
  TestClock clock{2026, 12, 25, 10, 30};
  Member ann{"Ann", "1 Mill Lane", "555", "ann@example.org", 7};
  Member bob{"Bob", "2 Mill Lane", "556", "bob@example.org", 8};
  Book book{"B1", "Hamlet", "Shakespeare", 14};
};

TEST_F(LendableTest, ANewItemIsFreeAndCarriesTheInitialStamp) {
  EXPECT_FALSE(book.Is_on_loan());
  EXPECT_FALSE(book.Is_on_hold());
  EXPECT_FALSE(book.Is_overdue());
  EXPECT_EQ(book.Due(), DateTime(9999, 1, 1, 1, 1));
}

TEST_F(LendableTest, LendingSetsTheDueStampToNowPlusTheLoanLength) {
  const Loan loan(&book, &ann);
  book.Lend(loan, book.Due_when_lent());
  EXPECT_EQ(book.Loan_record(), &loan);
  EXPECT_EQ(book.Due(), DateTime(2027, 1, 8, 10, 30));
}

TEST_F(LendableTest, AZeroDayLoanIsOverdueFromTheNextMinute) {
  Cd cd("C1", "Blue", "Ray", "45 min", 0);
  const Loan loan(&cd, &ann);
  cd.Lend(loan, cd.Due_when_lent());
  EXPECT_FALSE(cd.Is_overdue());
  clock.Advance_minutes(1);
  EXPECT_TRUE(cd.Is_overdue());
}

TEST_F(LendableTest, AHoldLastsOneDayOnTheShelfAndTwoDaysOnLoan) {
  const Hold shelf_hold(&book, &ann);
  book.Place_hold(shelf_hold, book.Due_when_held());
  EXPECT_EQ(book.Due(), DateTime(2026, 12, 26, 10, 30));
  book.Clear_hold();
  EXPECT_EQ(book.Due(), DateTime(2026, 12, 26, 10, 30));

  Video video("V1", "Heat", "Mann", "PG", 1);
  const Loan loan(&video, &bob);
  video.Lend(loan, video.Due_when_lent());
  clock.Advance_days(5);
  ASSERT_TRUE(video.Is_overdue());
  const Hold hold(&video, &ann);
  video.Place_hold(hold, video.Due_when_held());
  EXPECT_FALSE(video.Is_overdue());
  EXPECT_EQ(video.Due(), DateTime(2026, 12, 32, 10, 30));
}

TEST_F(LendableTest, TakingBackAnOverdueHeldBookWritesThreeNotices) {
  const Loan loan(&book, &bob);
  book.Lend(loan, book.Due_when_lent());
  const Hold hold(&book, &ann);
  book.Place_hold(hold, book.Due_when_held());
  clock.Advance_days(3);
  EXPECT_EQ(Output_of([&] {
              book.Write_return_notices();
              book.Take_back();
            }),
            "PLEASE HOLD THIS BOOK FOR 48 HOURS IN LIBRARY!\n"
            "And notify member 7 Ann\n"
            "BOOK LOAN OVERDUE !\n");
  EXPECT_FALSE(book.Is_on_loan());
  EXPECT_TRUE(book.Is_on_hold());
}

TEST_F(LendableTest, TakingBackInTimeWithoutHoldWritesNothingAndKeepsTheStamp) {
  Cd cd("C1", "Blue", "Ray", "45 min", 7);
  const Loan loan(&cd, &ann);
  cd.Lend(loan, cd.Due_when_lent());
  const DateTime due = cd.Due();
  EXPECT_EQ(Output_of([&] {
              cd.Write_return_notices();
              cd.Take_back();
            }),
            "");
  EXPECT_FALSE(cd.Is_on_loan());
  EXPECT_EQ(cd.Due(), due);
}

TEST_F(LendableTest, OverdueLinesNameTheKind) {
  Cd cd("C1", "Blue", "Ray", "45 min", 0);
  Video video("V1", "Heat", "Mann", "PG", 0);
  const Loan cd_loan(&cd, &ann);
  const Loan video_loan(&video, &ann);
  cd.Lend(cd_loan, cd.Due_when_lent());
  video.Lend(video_loan, video.Due_when_lent());
  clock.Advance_minutes(1);
  EXPECT_EQ(Output_of([&] { cd.Write_return_notices(); }), "CD LOAN OVERDUE !\n");
  EXPECT_EQ(Output_of([&] { video.Write_return_notices(); }), "VIDEO LOAN OVERDUE !\n");
}

TEST_F(LendableTest, ACopyHasAnEqualIndependentStampAndTheSameRecords) {
  const Loan loan(&book, &ann);
  book.Lend(loan, book.Due_when_lent());
  Book copy = book;
  EXPECT_EQ(copy.Due(), book.Due());
  EXPECT_EQ(copy.Loan_record(), &loan);
  clock.Advance_days(1);
  const Hold hold(&book, &bob);
  book.Place_hold(hold, book.Due_when_held());
  EXPECT_EQ(copy.Due(), DateTime(2027, 1, 8, 10, 30));
  EXPECT_FALSE(copy.Is_on_hold());
}

TEST_F(LendableTest, AFreshCopyKeepsTheCatalogueValuesInTheirPlaces) {
  Cd cd("C1", "Blue", "Ray", "45 min", 7);
  const Loan loan(&cd, &ann);
  cd.Lend(loan, cd.Due_when_lent());
  const Cd fresh = cd.Fresh_copy();
  EXPECT_EQ(fresh.Call_number(), "C1");
  EXPECT_EQ(fresh.Title(), "Blue");
  EXPECT_EQ(fresh.Artist(), "Ray");
  EXPECT_EQ(fresh.Play_time(), "45 min");
  EXPECT_EQ(fresh.Loan_days(), 7);
  EXPECT_FALSE(fresh.Is_on_loan());
  EXPECT_EQ(fresh.Due(), Lendable::Initial_stamp());
}

}  // namespace
