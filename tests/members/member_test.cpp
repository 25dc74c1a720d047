#include "members/member.h"

#include <gmock/gmock.h>

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"
#include "support/captured_output.h"
#include "support/test_clock.h"

namespace {

class MemberTest : public testing::Test {
 protected:
  TestClock clock{2026, 5, 14, 15, 7};
  Member ann{"Ann Lee", "1 Mill Lane", "555 0100", "ann@example.org", 7};
  Book book{"B1", "Hamlet", "Shakespeare", 0};
  Cd cd{"C1", "Blue", "Ray", "45 min", 14};
  Video video{"V1", "Heat", "Mann", "PG", 3};
};

TEST_F(MemberTest, ABlankMemberHasCardZeroAndEmptyLines) {
  EXPECT_EQ(Output_of([] { Member().Print_details(); }),
            "===================\n"
            "MEMBER         : \n"
            "Address        : \n"
            "Phone Number   : \n"
            "E_Mail Address : \n"
            "Library Number : 0\n"
            "\n"
            "\n"
            "\n"
            "===================\n");
}

TEST_F(MemberTest, DetailsShowEveryLoanOnOneLineAndEveryHoldOnTheNext) {
  const Loan book_loan(&book, &ann);
  const Loan cd_loan(&cd, &ann);
  const Hold hold(&video, &ann);
  book.Lend(book_loan, book.Due_when_lent());
  ann.Add_loan(book_loan);
  cd.Lend(cd_loan, cd.Due_when_lent());
  ann.Add_loan(cd_loan);
  video.Place_hold(hold, video.Due_when_held());
  ann.Add_hold(hold);
  clock.Advance_minutes(1);
  EXPECT_EQ(Output_of([&] { ann.Print_details(); }),
            "===================\n"
            "MEMBER         : Ann Lee\n"
            "Address        : 1 Mill Lane\n"
            "Phone Number   : 555 0100\n"
            "E_Mail Address : ann@example.org\n"
            "Library Number : 7\n"
            "\n"
            "Books borrowed = B1 Hamlet Due date :3:7pm  14/5/2026  OVERDUE!"
            "Books borrowed = C1 Blue Due date :3:7pm  28/5/2026\n"
            "Books hold     = V1 Heat Due date :3:7pm  15/5/2026\n"
            "===================\n");
  EXPECT_TRUE(ann.Has_overdue_loan());
}

TEST_F(MemberTest, AnOverdueHoldIsNoOverdueLoan) {
  const Hold hold(&video, &ann);
  video.Place_hold(hold, video.Due_when_held());
  ann.Add_hold(hold);
  clock.Advance_days(3);
  EXPECT_TRUE(video.Is_overdue());
  EXPECT_FALSE(ann.Has_overdue_loan());
  EXPECT_FALSE(Member().Has_overdue_loan());
}

TEST_F(MemberTest, RemovingARecordTakesExactlyThatItemsRecord) {
  Cd same_bar_code("B1", "Shared", "X", "1", 14);
  const Loan book_loan(&book, &ann);
  const Loan cd_loan(&same_bar_code, &ann);
  const Loan video_loan(&video, &ann);
  ann.Add_loan(book_loan);
  ann.Add_loan(cd_loan);
  ann.Add_loan(video_loan);
  ann.Remove_loan(book);
  ASSERT_EQ(ann.Loans().size(), 2u);
  EXPECT_EQ(ann.Loans()[0].Borrowed_cd(), &same_bar_code);
  EXPECT_EQ(ann.Loans()[1].Borrowed_video(), &video);

  const Hold hold(&cd, &ann);
  ann.Add_hold(hold);
  ann.Remove_hold(video);
  EXPECT_EQ(ann.Holds().size(), 1u);
  ann.Remove_hold(cd);
  EXPECT_TRUE(ann.Holds().empty());
}

TEST_F(MemberTest, RecordCopiesNameTheSameObjects) {
  const Loan loan(&book, &ann);
  ann.Add_loan(loan);
  Member copy = ann;
  EXPECT_EQ(copy.Loans()[0].Borrowed_book(), &book);
  EXPECT_EQ(copy.Loans()[0].Borrower(), &ann);
  EXPECT_EQ(copy.Loans()[0].Borrowed_item(), &book);
}

}  // namespace
