#include <gmock/gmock.h>

#include "support/library_session.h"
#include "support/records_check.h"

namespace {

const std::string overdue_heading =
    "MEMBER WITH OVERDUE ITEM/ITEMS\n==============================\n";

TEST(ReportsTest, TheOverdueReportNamesABorrowerOncePerOverdueItem) {
  LibrarySession session;
  session.Type(Add_member_keys("Ann", 7) + Add_member_keys("Bob", 8) +
               Add_book_keys("B1", "Hamlet", "A", 1) + Add_book_keys("B2", "Lear", "A", 1) +
               Add_cd_keys("C1", "Blue", "R", 1) + Add_video_keys("V1", "Heat", "D", 1) +
               Add_video_keys("V2", "Ran", "D", 30) + "13\n");
  EXPECT_EQ(Last_screen(session.Run()), overdue_heading);

  session.Type(Select_member_keys(7) + Select_item_keys("V1") + "7\n" + Select_item_keys("B2") +
               "7\n" + Select_item_keys("V2") + "7\n" + Select_member_keys(8) +
               Select_item_keys("C1") + "7\n" + Select_item_keys("B1") + "7\n");
  session.Wait_days(1).Type("13\n");
  EXPECT_EQ(Last_screen(session.Run()), overdue_heading);
  session.Wait_minutes(1).Type("13\n");
  EXPECT_EQ(Last_screen(session.Run()), overdue_heading + "Bob\nAnn\nBob\nAnn\n");

  // A returned item is not listed, although its stamp has passed.
  session.Type(Select_item_keys("B1") + "8\n13\n");
  EXPECT_EQ(Last_screen(session.Run()), overdue_heading + "Ann\nBob\nAnn\n");
  EXPECT_THAT(Record_faults(session.library()), testing::IsEmpty());
}

TEST(ReportsTest, ALoanDueInTheAfternoonIsOverdueTheNextMorning) {
  LibrarySession session(2026, 11, 24, 15, 0);
  session.Type(Add_member_keys("Ann", 7) + Add_book_keys("B1", "Hamlet", "A", 14) +
               Add_book_keys("B2", "Lear", "A", 14) + Select_member_keys(7) +
               Select_item_keys("B1") + "7\n");
  session.Run();
  session.Wait_minutes((14 * 24 + 19) * 60);  // to 10:00 am on 9 December, due at 3:00 pm on 8th
  const std::vector<std::string> screens =
      Screens(session.Type("13\n" + Select_item_keys("B2") + "7\n").Run());
  ASSERT_GE(screens.size(), 3u);
  EXPECT_EQ(screens[0], overdue_heading + "Ann\n");
  EXPECT_EQ(screens[2], "PLEASE RETURN OVERDUE ITEM BEFORE BORROW ANOTHER ITEM!\n");
}

}  // namespace
