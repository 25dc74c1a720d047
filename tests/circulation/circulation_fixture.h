#ifndef SHELVORANQUIST_TESTS_CIRCULATION_CIRCULATION_FIXTURE_H_
#define SHELVORANQUIST_TESTS_CIRCULATION_CIRCULATION_FIXTURE_H_

#include <gmock/gmock.h>

#include <string>

#include "support/library_session.h"
#include "support/records_check.h"

// Ann (card 7) and Bob (card 8), two copies of Hamlet (B1, B2, 14 days), a CD (C1, 7 days) and
// a video (V1, 2 days). Every test ends with consistent records.
class CirculationTest : public testing::Test {
 protected:
  CirculationTest() {
    session.Type(Add_member_keys("Ann", 7) + Add_member_keys("Bob", 8) +
                 Add_book_keys("B1", "Hamlet", "Shakespeare", 14) +
                 Add_book_keys("B2", "Hamlet", "Shakespeare", 14) +
                 Add_cd_keys("C1", "Blue", "Ray", 7) + Add_video_keys("V1", "Heat", "Mann", 2));
    session.Run();
  }
  ~CirculationTest() override { EXPECT_THAT(Record_faults(session.library()), testing::IsEmpty()); }

  // Selects the member and the item, then runs main-menu `choice`; returns what it wrote.
  std::string Transaction(int member, const std::string& bar_code, const std::string& choice) {
    return Last_screen(
        session.Type(Select_member_keys(member) + Select_item_keys(bar_code) + choice + "\n")
            .Run());
  }

  LibrarySession session;
};

#endif  // SHELVORANQUIST_TESTS_CIRCULATION_CIRCULATION_FIXTURE_H_
