#include <gmock/gmock.h>

#include "support/library_session.h"
#include "support/records_check.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

const std::string member_screen =
    "SELECT/SEARCH MEMBER\n"
    "====================\n"
    "1. Select member through library card number\n"
    "2. Select member through name\n"
    "3, Search member through library card number\n"
    "4, Search member through name\n"
    "5, Back to main menu \n"
    "Selection : \n";

const std::string blank_member_details =
    "===================\nMEMBER         : \nAddress        : \nPhone Number   : \n"
    "E_Mail Address : \nLibrary Number : 0\n\n\n\n===================\n";

class MemberScreensTest : public testing::Test {
 protected:
  LibrarySession session;
};

TEST_F(MemberScreensTest, AddingAMemberAsksFiveQuestionsAndSelectsNobody) {
  session.Type("1\nAnn Lee\n1 Mill Lane\n555 0100\nann@example.org second word\n7\n4\n");
  EXPECT_THAT(Screens(session.Run()),
              ElementsAre("ADD NEW MEMBER\n==============\n\nName: Address: Phone number: "
                          "E-mail address: Library number: ",
                          testing::StartsWith("===================\nMEMBER         : \n"), ""));
  const Member* ann = session.library().Members().Find_by_number(7);
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(ann->Name(), "Ann Lee");
  EXPECT_EQ(ann->Address(), "1 Mill Lane");
  EXPECT_EQ(ann->Phone_number(), "555 0100");
  EXPECT_EQ(ann->Email_address(), "ann@example.org");
}

TEST_F(MemberScreensTest, BadAnswersAreAskedAgainAndNothingHalfEnteredIsStored) {
  const std::string long_name(50, 'n');
  const std::string long_address(100, 'a');
  session.Type("1\n" + long_name + "\nAnn\n" + long_address + "\n" + std::string(99, 'a') +
               "\n555\n\n\nann@x\nseven\n7\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[0],
            "ADD NEW MEMBER\n==============\n\n"
            "Name: PLEASE ENTER AT MOST 49 CHARACTERS!\nName: "
            "Address: PLEASE ENTER AT MOST 99 CHARACTERS!\nAddress: "
            "Phone number: E-mail address: "
            "Library number: PLEASE ENTER A NUMBER!\nLibrary number: ");
  ASSERT_EQ(session.library().Members().Count(), 1);
  EXPECT_EQ(session.library().Members().At(0).Address(), std::string(99, 'a'));
}

TEST_F(MemberScreensTest, TheBlankMemberIsSelectedAtStart) {
  EXPECT_THAT(Screens(session.Type("4\n").Run()), ElementsAre(blank_member_details, ""));
}

TEST_F(MemberScreensTest, SelectingByNumberOrNameTakesTheFirstMatch) {
  session.Type(Add_member_keys("Ann", 7) + Add_member_keys("Bob", 7) +
               "2\n1\n7\n4\n2\n2\nBob\n4\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[2], member_screen + "Library card number : ");
  EXPECT_EQ(screens[3], Member_details("Ann", 7));
  EXPECT_EQ(screens[4], member_screen + "Member's name : ");
  EXPECT_EQ(screens[5], Member_details("Bob", 7));
}

TEST_F(MemberScreensTest, AFailedSelectionLeavesNoMemberSelected) {
  session.Type(Add_member_keys("Ann", 7) + "2\n1\n8\n4\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[1], member_screen + "Library card number : MEMBER NOT FOUND!\n");
  EXPECT_EQ(screens[2], "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n");
}

TEST_F(MemberScreensTest, SearchingShowsDetailsBeforeTheNotFoundTest) {
  session.Type(Add_member_keys("Ann", 7) + "2\n3\n7\n2\n3\n8\n2\n4\nann\n2\n4\nAnn\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[1], member_screen + "Library card number : " + Member_details("Ann", 7));
  EXPECT_EQ(screens[2], member_screen +
                            "Library card number : "
                            "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n"
                            "MEMBER NOT FOUND!\n");
  EXPECT_EQ(screens[3], member_screen +
                            "Member's name : A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n"
                            "MEMBER NOT FOUND!\n");
  EXPECT_EQ(screens[4], member_screen + "Member's name : " + Member_details("Ann", 7));
}

TEST_F(MemberScreensTest, BackOrAnyOtherChoiceKeepsTheSelection) {
  session.Type(Add_member_keys("Ann", 7) + Select_member_keys(7) + "2\n5\n2\n9\n2\nx\n4\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[2], member_screen);
  EXPECT_EQ(screens[3], member_screen);
  EXPECT_EQ(screens[4], member_screen);
  EXPECT_EQ(screens[5], Member_details("Ann", 7));
}

TEST_F(MemberScreensTest, ACardNumberThatIsNotANumberIsAskedAgain) {
  session.Type(Add_member_keys("Ann", 7) + "2\n1\nseven\n7\n");
  EXPECT_EQ(Screens(session.Run())[1], member_screen +
                                           "Library card number : PLEASE ENTER A NUMBER!\n"
                                           "Library card number : ");
  EXPECT_EQ(session.library().Selected_member()->Name(), "Ann");
}

TEST_F(MemberScreensTest, DeletingRemovesExactlyTheSelectedMember) {
  session.Type(Add_member_keys("Ann", 7) + Add_member_keys("Bea", 7) + "2\n2\nBea\n3\n4\n3\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[3], "");
  EXPECT_EQ(screens[4], "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n");
  EXPECT_EQ(screens[5], "A MEMBER MUST BE SELECTED BEFORE REMOVE THE MEMBER!\n");
  ASSERT_EQ(session.library().Members().Count(), 1);
  EXPECT_EQ(session.library().Members().At(0).Name(), "Ann");
}

TEST_F(MemberScreensTest, TheBlankMemberCannotBeDeleted) {
  session.Type(Add_member_keys("Ann", 0) + "3\n4\n");
  const std::vector<std::string> screens = Screens(session.Run());
  EXPECT_EQ(screens[1], "MEMBER NOT FOUND!\n");
  EXPECT_EQ(screens[2], blank_member_details);
  EXPECT_EQ(session.library().Members().Count(), 1);
}

TEST_F(MemberScreensTest, AMemberWithLoansOrHoldsIsKept) {
  session.Type(Add_member_keys("Ann", 7) + Add_book_keys("B1", "Hamlet", "Shakespeare", 14) +
               Select_member_keys(7) + Select_item_keys("B1") + "9\n3\n");
  EXPECT_EQ(Last_screen(session.Run()),
            "MEMBER HAS ITEMS ON LOAN OR ON HOLD AND CANNOT BE REMOVED!\n");
  EXPECT_EQ(session.library().Members().Count(), 1);
  EXPECT_THAT(Record_faults(session.library()), testing::IsEmpty());
}

}  // namespace
