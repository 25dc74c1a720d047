#include <gmock/gmock.h>

#include "circulation/circulation_fixture.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

const std::string on_loan_refusal =
    "BORROWER CANNOT BORROW THIS BOOK BECAUSE : \n"
    "                       THIS BOOK BORROWED BY OTHER MEMBER !\n";
const std::string held_refusal =
    "BORROWER CANNOT BORROW THIS BOOK BECAUSE : \n"
    "                       THIS BOOK HOLD BY OTHER MEMBER !\n";
const std::string offer = "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n";

// A copy of Hamlet as the same-title offer lists it: copies are never on loan, so no due date.
std::string Listed_book(const std::string& bar_code) {
  return "======================\nThe details of the Book:  \nTitle       :Hamlet\nCall number :" +
         bar_code + "\nAuthor's Name\t:Shakespeare\n======================\n";
}

class BorrowReturnTest : public CirculationTest {};

TEST_F(BorrowReturnTest, LendingABookShowsTheBorrowerWithTheDueDate) {
  EXPECT_EQ(Transaction(7, "B1", "7"),
            Member_details("Ann", 7, "Books borrowed = B1 Hamlet Due date :10:30am  22/12/2026"));
  EXPECT_EQ(session.library().Loans().Entries().size(), 1u);
}

TEST_F(BorrowReturnTest, AVideoLoanIsSilentAndItsReturnShowsTheMember) {
  EXPECT_EQ(Transaction(7, "V1", "7"), "");
  EXPECT_TRUE(session.library().Videos().At(0).Is_on_loan());
  EXPECT_EQ(Transaction(7, "V1", "8"), Member_details("Ann", 7));
}

TEST_F(BorrowReturnTest, TheBlankMemberCanBorrow) {
  EXPECT_THAT(Last_screen(session.Type(Select_item_keys("C1") + "7\n").Run()),
              HasSubstr("Library Number : 0\n\nBooks borrowed = C1 Blue Due date :"));
}

TEST_F(BorrowReturnTest, WithoutAMemberNothingHappensAndTheItemStaysSelected) {
  session.Type("2\n1\n99\n" + Select_item_keys("B1") + "7\n8\n11\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens.rbegin()[3], "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n");
  EXPECT_EQ(screens.rbegin()[2], "A MEMBER MUST BE SELECTED BEFORE RETURN AN ITEM!\n");
  EXPECT_THAT(screens.rbegin()[1], HasSubstr("Call number :B1\n"));
}

TEST_F(BorrowReturnTest, ATransactionClearsTheItemSelections) {
  Transaction(7, "B1", "7");
  EXPECT_EQ(Last_screen(session.Type("7\n").Run()), "ITEM NOT FOUND!\n");
  EXPECT_EQ(Last_screen(session.Type("11\n").Run()), "ITEM NOT FOUND!\n");
}

TEST_F(BorrowReturnTest, ALentBookIsRefusedToEveryoneWithTheSameTitleOffered) {
  Transaction(7, "B1", "7");
  EXPECT_EQ(Transaction(8, "B1", "7"),
            on_loan_refusal + offer + Listed_book("B1") + Listed_book("B2"));
  EXPECT_EQ(Transaction(7, "B1", "7"),
            on_loan_refusal + offer + Listed_book("B1") + Listed_book("B2"));
}

TEST_F(BorrowReturnTest, TheOnLoanRefusalComesBeforeTheOverdueOne) {
  Transaction(7, "B1", "7");
  session.Wait_days(20);
  EXPECT_THAT(Transaction(7, "B1", "7"), testing::StartsWith(on_loan_refusal));
}

TEST_F(BorrowReturnTest, ALoanIsOverdueFromTheMinuteAfterItsDueStamp) {
  Transaction(7, "B1", "7");
  session.Wait_days(14);
  EXPECT_THAT(Transaction(7, "C1", "7"), HasSubstr("Books borrowed = B1 Hamlet Due date :"
                                                   "10:30am  22/12/2026Books borrowed = C1"));
  session.Wait_minutes(1);
  EXPECT_EQ(Transaction(7, "B2", "7"), "PLEASE RETURN OVERDUE ITEM BEFORE BORROW ANOTHER ITEM!\n");
  EXPECT_EQ(Transaction(7, "B1", "8"),
            "BOOK LOAN OVERDUE !\n" +
                Member_details("Ann", 7, "Books borrowed = C1 Blue Due date :10:30am  29/12/2026"));
}

TEST_F(BorrowReturnTest, ReturningWhatIsNotOnLoanIsRefused) {
  EXPECT_EQ(Transaction(7, "C1", "8"),
            "BORROWER CANNOT RETURN THIS CD BECAUSE : \n"
            "                       THIS CD IS NOT ON LOAN !\n");
}

TEST_F(BorrowReturnTest, AReturnByAnotherMemberEndsTheLoanForItsBorrower) {
  Transaction(7, "B1", "7");
  EXPECT_EQ(Transaction(8, "B1", "8"), Member_details("Bob", 8));
  EXPECT_EQ(Last_screen(session.Type(Select_member_keys(7) + "4\n").Run()),
            Member_details("Ann", 7));
  EXPECT_TRUE(session.library().Loans().Entries().empty());
}

TEST_F(BorrowReturnTest, ReturningAnOverdueHeldBookGivesTheNoticesInOrder) {
  Transaction(7, "B1", "7");
  Transaction(8, "B1", "9");
  session.Wait_days(3);
  EXPECT_EQ(Transaction(7, "B1", "8"),
            "PLEASE HOLD THIS BOOK FOR 48 HOURS IN LIBRARY!\n"
            "And notify member 8 Bob\n"
            "BOOK LOAN OVERDUE !\n" +
                Member_details("Ann", 7));
}

TEST_F(BorrowReturnTest, TheHolderBorrowsAReturnedBookAndTheHoldEnds) {
  Transaction(7, "B1", "7");
  Transaction(8, "B1", "9");
  EXPECT_THAT(Transaction(8, "B1", "7"), testing::StartsWith(on_loan_refusal));
  Transaction(7, "B1", "8");
  EXPECT_EQ(Transaction(8, "B1", "7"),
            Member_details("Bob", 8, "Books borrowed = B1 Hamlet Due date :10:30am  22/12/2026",
                           "Books hold     = B1 Hamlet Due date :10:30am  22/12/2026"));
  EXPECT_FALSE(session.library().Books().At(0).Is_on_hold());
  EXPECT_TRUE(session.library().Members().Find_by_number(8)->Holds().empty());
  EXPECT_TRUE(session.library().Holds().Entries().empty());
}

TEST_F(BorrowReturnTest, AHeldBookIsRefusedToOthersWithTheUnheldCopiesOffered) {
  Transaction(8, "B2", "7");
  Transaction(8, "B1", "9");
  EXPECT_EQ(Transaction(7, "B1", "7"), held_refusal + offer + Listed_book("B2"));
  Transaction(8, "B2", "9");
  EXPECT_EQ(Transaction(7, "B1", "7"),
            held_refusal + offer + "ERROR! ALL COPIES OF THIS BOOK ARE CURRENTLY ON HOLD!\n");
}

TEST_F(BorrowReturnTest, AMemberWithTheHoldersNameEndsTheHoldWhereItIs) {
  session.Type(Add_member_keys("Bob", 9));
  Transaction(8, "B1", "9");
  EXPECT_THAT(Transaction(9, "B1", "7"), HasSubstr("Library Number : 9\n\nBooks borrowed = B1"));
  EXPECT_TRUE(session.library().Members().Find_by_number(8)->Holds().empty());
  EXPECT_TRUE(session.library().Holds().Entries().empty());
}

TEST_F(BorrowReturnTest, ABookAndACdSharingTheBarCodeAreBothHandled) {
  session.Type(Add_cd_keys("B1", "Hamlet", "Ray", 7));
  const std::string out = Transaction(7, "B1", "7");
  EXPECT_THAT(out, HasSubstr("Books borrowed = B1 Hamlet Due date :10:30am  22/12/2026\n"));
  EXPECT_THAT(out, HasSubstr("Books borrowed = B1 Hamlet Due date :10:30am  22/12/2026"
                             "Books borrowed = B1 Hamlet Due date :10:30am  15/12/2026\n"));
  // The catalogue selects the book alone; returning it leaves the CD's loan in place.
  EXPECT_EQ(Last_screen(session.Type("12\n1\n1\nB1\nn\n8\n").Run()),
            Member_details("Ann", 7, "Books borrowed = B1 Hamlet Due date :10:30am  15/12/2026"));
  EXPECT_THAT(session.library().Cds().Find_by_call_number("B1"),
              testing::Pointee(testing::Property(&Cd::Is_on_loan, true)));
}

}  // namespace
