#include <gmock/gmock.h>

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"
#include "circulation/hold_list.h"
#include "circulation/loan_list.h"
#include "members/member.h"

namespace {

class RegistersTest : public testing::Test {
 protected:
  Member ann{"Ann", "", "", "", 7};
  Member other_ann{"Ann", "", "", "", 263};
  Book book{"B1", "Hamlet", "A", 14};
  Book twin{"B1", "Hamlet", "A", 14};
  Cd cd{"C1", "Blue", "Ray", "45", 7};
  Cd cd_sharing_bar_code{"B1", "Blue", "Ray", "45", 7};
  Video video{"V1", "Heat", "Mann", "PG", 3};
  LoanList loans;
  HoldList holds;
};

TEST_F(RegistersTest, EmptyRegistersFindNothing) {
  EXPECT_EQ(loans.Find_book_loan(book, ann), nullptr);
  EXPECT_EQ(loans.Find_cd_loan(cd, ann), nullptr);
  EXPECT_EQ(loans.Find_video_loan(video, ann), nullptr);
  EXPECT_EQ(holds.Find_book_hold(book, ann), nullptr);
  EXPECT_EQ(holds.Find_cd_hold(cd, ann), nullptr);
  EXPECT_EQ(holds.Find_video_hold(video, ann), nullptr);
}

TEST_F(RegistersTest, LoansAreFoundByTheItemObjectWhoeverAsks) {
  loans.Add(Loan(&book, &ann));
  loans.Add(Loan(&cd, &ann));
  loans.Add(Loan(&cd_sharing_bar_code, &ann));
  EXPECT_EQ(loans.Find_cd_loan(cd, other_ann), &loans.Entries()[1]);
  EXPECT_EQ(loans.Find_book_loan(book, other_ann), &loans.Entries()[0]);
  EXPECT_EQ(loans.Find_book_loan(twin, ann), nullptr);
  EXPECT_EQ(loans.Find_cd_loan(cd_sharing_bar_code, ann), &loans.Entries()[2]);
}

TEST_F(RegistersTest, HoldsAreFoundByItemAndMemberObjects) {
  holds.Add(Hold(&book, &ann));
  EXPECT_EQ(holds.Find_book_hold(book, other_ann), nullptr);
  EXPECT_EQ(holds.Find_book_hold(book, ann), &holds.Entries()[0]);
  EXPECT_EQ(holds.Find_book_hold(twin, ann), nullptr);
  holds.Add(Hold(&video, &ann));
  EXPECT_EQ(holds.Find_video_hold(video, ann), &holds.Entries()[1]);
}

TEST_F(RegistersTest, RemovingKeepsTheOrderAndNoneRemovesNothing) {
  loans.Add(Loan(&book, &ann));
  loans.Add(Loan(&cd, &ann));
  loans.Add(Loan(&video, &ann));
  loans.Remove(loans.Find_book_loan(book, ann));
  ASSERT_EQ(loans.Entries().size(), 2u);
  EXPECT_EQ(loans.Entries()[0].Borrowed_cd(), &cd);
  EXPECT_EQ(loans.Entries()[1].Borrowed_video(), &video);
  loans.Remove(nullptr);
  EXPECT_EQ(loans.Entries().size(), 2u);
  holds.Add(Hold(&book, &ann));
  holds.Remove(holds.Find_book_hold(book, other_ann));
  EXPECT_EQ(holds.Entries().size(), 1u);
  holds.Remove(holds.Find_book_hold(book, ann));
  EXPECT_TRUE(holds.Entries().empty());
}

TEST_F(RegistersTest, ARecordThatIsNoEntryOfTheRegisterRemovesNothing) {
  loans.Add(Loan(&book, &ann));
  holds.Add(Hold(&book, &ann));
  const Loan loan(&book, &ann);
  const Hold hold(&book, &ann);
  loans.Remove(&loan);
  holds.Remove(&hold);
  EXPECT_EQ(loans.Entries().size(), 1u);
  EXPECT_EQ(holds.Entries().size(), 1u);
}

TEST_F(RegistersTest, CopiesInTheRegisterAndTheMemberNameTheSameItem) {
  const Loan loan(&book, &ann);
  ann.Add_loan(loan);
  loans.Add(loan);
  book.Lend(loan, book.Due_when_lent());
  EXPECT_EQ(ann.Loans()[0].Borrowed_item(), loans.Entries()[0].Borrowed_item());
  book.Take_back();
  EXPECT_FALSE(ann.Loans()[0].Borrowed_book()->Is_on_loan());
  EXPECT_FALSE(loans.Entries()[0].Borrowed_book()->Is_on_loan());
}

}  // namespace
