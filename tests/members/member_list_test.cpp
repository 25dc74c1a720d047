#include "members/member_list.h"

#include <gmock/gmock.h>

#include "support/captured_output.h"

namespace {

class MemberListTest : public testing::Test {
 protected:
  MemberList members;
};

TEST_F(MemberListTest, LookupsTakeTheFirstInRegisterOrder) {
  members.Add("Ann", "a", "1", "a@x", 7);
  members.Add("Bob", "b", "2", "b@x", 7);
  members.Add("Ann", "c", "3", "c@x", 9);
  EXPECT_EQ(members.Find_by_number(7)->Name(), "Ann");
  EXPECT_EQ(members.Find_by_name("Ann")->Library_number(), 7);
  EXPECT_EQ(members.Find_by_number(8), nullptr);
  members.Remove(7);
  EXPECT_EQ(members.Find_by_number(7)->Name(), "Bob");
  EXPECT_EQ(members.Find_by_name("Ann")->Library_number(), 9);
}

TEST_F(MemberListTest, NamesMatchWholeAndCaseSensitively) {
  members.Add("Ann Lee", "", "", "", 1);
  EXPECT_EQ(members.Find_by_name("ann lee"), nullptr);
  EXPECT_EQ(members.Find_by_name("Ann Lee "), nullptr);
  EXPECT_EQ(members.Find_by_name("Ann"), nullptr);
  EXPECT_NE(members.Find_by_name("Ann Lee"), nullptr);
}

TEST_F(MemberListTest, RegisteredMembersNeverMove) {
  members.Add("Ann", "", "", "", 1);
  members.Add("Bob", "", "", "", 2);
  members.Add("Cy", "", "", "", 3);
  Member* ann = members.Find_by_number(1);
  Member* cy = members.Find_by_number(3);
  for (int i = 0; i < 1000; ++i) members.Add("X", "", "", "", 100 + i);
  members.Remove(*members.Find_by_number(2));
  EXPECT_EQ(members.Find_by_number(1), ann);
  EXPECT_EQ(&members.At(1), cy);
  EXPECT_EQ(cy->Name(), "Cy");
  EXPECT_TRUE(members.Contains(cy));
  EXPECT_FALSE(members.Contains(nullptr));
}

TEST_F(MemberListTest, RemovingAMemberObjectLeavesItsNamesake) {
  members.Add("Ann", "", "", "", 7);
  members.Add("Ann", "", "", "", 7);
  const Member& second = members.At(1);
  members.Remove(second);
  ASSERT_EQ(members.Count(), 1);
  members.Remove(12345);
  EXPECT_EQ(members.Count(), 1);
}

TEST_F(MemberListTest, ListingAnEmptyRegisterSaysSo) {
  EXPECT_EQ(Output_of([&] { members.List_all(); }), "No member in the library\n");
  members.Add("Ann", "", "", "", 7);
  EXPECT_THAT(Output_of([&] { members.List_all(); }), testing::HasSubstr("MEMBER         : Ann\n"));
}

}  // namespace
