#include <gmock/gmock.h>

#include "circulation/circulation_fixture.h"

namespace {

using testing::HasSubstr;
using testing::StartsWith;

class HoldTest : public CirculationTest {};

TEST_F(HoldTest, AShelfHoldLastsADayAndKeepsOthersFromBorrowing) {
  EXPECT_EQ(Transaction(7, "C1", "9"),
            Member_details("Ann", 7, "", "Books hold     = C1 Blue Due date :10:30am  9/12/2026"));
  EXPECT_EQ(Transaction(8, "C1", "7"),
            "BORROWER CANNOT BORROW THIS CD BECAUSE : \n"
            "                       THIS CD HOLD BY OTHER MEMBER !\n"
            "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n"
            "ERROR! ALL COPIES OF THIS CD ARE CURRENTLY ON HOLD!\n");
}

TEST_F(HoldTest, AHoldOnAnOverdueLoanMovesItsDueDateTwoDaysAhead) {
  Transaction(8, "B1", "7");
  session.Wait_days(15);
  EXPECT_EQ(
      Transaction(7, "B1", "9"),
      Member_details("Ann", 7, "", "Books hold     = B1 Hamlet Due date :10:30am  25/12/2026"));
  // The borrower is no longer overdue until then.
  EXPECT_THAT(Transaction(8, "C1", "7"),
              HasSubstr("Books borrowed = B1 Hamlet Due date :10:30am  25/12/2026"
                        "Books borrowed = C1 Blue Due date :10:30am  30/12/2026\n"));
}

TEST_F(HoldTest, AMemberWithAnOverdueLoanIsToldToReturnIt) {
  Transaction(7, "V1", "7");
  session.Wait_days(3);
  EXPECT_EQ(Transaction(7, "B1", "9"), "PLEASE RETURN OVERDUE ITEM BEFORE HOLD AN ITEM!\n");
  EXPECT_FALSE(session.library().Books().At(0).Is_on_hold());
}

TEST_F(HoldTest, AnItemHeldForAnotherIsRefusedBeforeTheOverdueLoanIsMentioned) {
  Transaction(7, "V1", "7");
  session.Wait_days(3);
  Transaction(8, "C1", "9");
  EXPECT_EQ(Transaction(7, "C1", "9"),
            "ERROR! CD HOLD BY OTHER MEMBER !\n"
            "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n"
            "ERROR! ALL COPIES ARE CURRENTLY ON HOLD!");
  Transaction(8, "B1", "9");
  EXPECT_THAT(Transaction(7, "B1", "9"),
              StartsWith("ERROR! BOOK HOLD BY OTHER MEMBER !\nSIMILAR TITLE THAT AVAILABLE"));
}

TEST_F(HoldTest, ASecondHoldIsRefusedEvenForTheHolder) {
  Transaction(7, "B1", "9");
  const std::string refusal =
      "ERROR! BOOK HOLD BY OTHER MEMBER !\n"
      "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n";
  EXPECT_THAT(Transaction(7, "B1", "9"), StartsWith(refusal + "======================\n"));
  EXPECT_THAT(Transaction(8, "B1", "9"), HasSubstr("Call number :B2\n"));
  Transaction(7, "V1", "9");
  EXPECT_EQ(Transaction(8, "V1", "9"),
            "ERROR! VIDEO HOLD BY OTHER MEMBER !\n"
            "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n"
            "ERROR! ALL COPIES ARE CURRENTLY ON HOLD!");
}

TEST_F(HoldTest, WithEveryCopyHeldTheRefusalEndsWithoutALineEnd) {
  Transaction(7, "B1", "9");
  Transaction(7, "B2", "9");
  const std::string out =
      session.Type(Select_member_keys(8) + Select_item_keys("B1") + "9\n").Run();
  EXPECT_THAT(out, HasSubstr("SIMILAR TITLE THAT AVAILABLE IN LIBRARY : \n"
                             "ERROR! ALL COPIES ARE CURRENTLY ON HOLD!\nShelvoranquist   "));
}

TEST_F(HoldTest, ABorrowerMayHoldTheirOwnLoan) {
  Transaction(7, "B1", "7");
  EXPECT_THAT(Transaction(7, "B1", "9"), HasSubstr("Books hold     = B1 Hamlet"));
  EXPECT_THAT(Transaction(7, "B1", "8"),
              StartsWith("PLEASE HOLD THIS BOOK FOR 48 HOURS IN LIBRARY!\n"
                         "And notify member 7 Ann\n===="));
}

TEST_F(HoldTest, CancellingWhatIsNotHeldIsRefused) {
  EXPECT_EQ(Transaction(7, "V1", "10"),
            "BORROWER CANNOT CANCEL HOLD FOR THIS VIDEO BECAUSE : \n"
            "                                THIS VIDEO IS NOT ON HOLD !\n");
}

TEST_F(HoldTest, CancellingFreesTheItemButKeepsItsStamp) {
  Transaction(7, "B1", "9");
  EXPECT_EQ(Transaction(7, "B1", "10"), Member_details("Ann", 7));
  session.Type("12\n1\n2\nHamlet\nn\n");
  EXPECT_THAT(Transaction(8, "B1", "7"), HasSubstr("Books borrowed = B1 Hamlet"));
}

TEST_F(HoldTest, ACancelByAnotherMemberEndsTheHoldForItsHolder) {
  Transaction(7, "B1", "9");
  EXPECT_EQ(Transaction(8, "B1", "10"), Member_details("Bob", 8));
  EXPECT_TRUE(session.library().Members().Find_by_number(7)->Holds().empty());
  EXPECT_TRUE(session.library().Holds().Entries().empty());
}

TEST_F(HoldTest, WithoutAMemberHoldAndCancelSaySo) {
  session.Type("2\n2\nNobody\n" + Select_item_keys("B1") + "9\n10\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens.rbegin()[2], "A MEMBER MUST BE SELECTED BEFORE HOLD AN ITEM!\n");
  EXPECT_EQ(screens.rbegin()[1], "A MEMBER MUST BE SELECTED BEFORE CANCEL THE HOLD FOR AN ITEM!\n");
}

TEST_F(HoldTest, TheBlankMemberCanHold) {
  EXPECT_THAT(Last_screen(session.Type(Select_item_keys("B1") + "9\n").Run()),
              HasSubstr("Library Number : 0\n\n\nBooks hold     = B1 Hamlet"));
}

TEST_F(HoldTest, EveryKindCanBeHeldAndCancelledInOneTransaction) {
  session.Type(Add_cd_keys("X1", "Blue", "Ray", 7) + Add_video_keys("X1", "Heat", "Mann", 2));
  EXPECT_THAT(Transaction(7, "X1", "9"),
              HasSubstr("Books hold     = X1 Blue Due date :10:30am  9/12/2026"
                        "Books hold     = X1 Heat Due date :10:30am  9/12/2026\n"));
  EXPECT_EQ(Transaction(7, "X1", "10"),
            Member_details("Ann", 7, "", "Books hold     = X1 Heat Due date :10:30am  9/12/2026") +
                Member_details("Ann", 7));
}

}  // namespace
