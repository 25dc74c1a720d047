#include <gmock/gmock.h>

#include <deque>
#include <string>
#include <vector>

#include "storage/no_storage.h"
#include "support/library_session.h"
#include "support/records_check.h"

namespace {

using testing::HasSubstr;

// A desk's storage that other desks share: it hands over, at the next answer, the changes the
// test says they kept.
class SharedStorage final : public Storage {
 public:
  void Load(const Restore& restore) override { _kept.Load(restore); }
  void Keep(Change& change) override { _kept.Keep(change); }
  std::vector<Change> Changes_elsewhere() override {
    std::vector<Change> changes(_elsewhere.begin(), _elsewhere.end());
    _elsewhere.clear();
    return changes;
  }

  // Another desk keeps `change`, its key taken as this storage would give it.
  void Kept_elsewhere(Change change) {
    _kept.Keep(change);
    _elsewhere.push_back(change);
  }

 private:
  NoStorage _kept;
  std::deque<Change> _elsewhere;
};

TEST(ChangesElsewhereTest, AreShownAtTheNextAnswerAndUnselectWhatTheyRemove) {
  SharedStorage storage;
  LibrarySession session(storage);
  // Keys 1 and 2: Ann and her book.
  session
      .Type(Add_member_keys("Ann", 7) + Add_book_keys("B1", "Hamlet", "Shakespeare", 14) +
            Select_member_keys(7) + Select_item_keys("B1"))
      .Run();
  storage.Kept_elsewhere(
      ItemAdded{ItemKind::cd, {0, "C1", "Blue", "Ray", "45 min", 7, {9999, 1, 1, 1, 1}}});
  storage.Kept_elsewhere(LoanMade{{0, {}, 3, {}, 1}, {2026, 12, 15, 10, 30}, {}});
  EXPECT_THAT(Last_screen(session.Type("4\n").Run()),
              HasSubstr("Books borrowed = C1 Blue Due date :10:30am  15/12/2026\n"));
  storage.Kept_elsewhere(ItemRemoved{ItemKind::book, 2});
  EXPECT_EQ(Last_screen(session.Type("11\n").Run()), "ITEM NOT FOUND!\n");
  storage.Kept_elsewhere(LoanEnded{{4, {}, 3, {}, 1}});
  storage.Kept_elsewhere(MemberRemoved{1});
  EXPECT_EQ(Last_screen(session.Type("4\n").Run()),
            "A MEMBER MUST BE SELECTED BEFORE BORROW AN ITEM!\n");
  EXPECT_THAT(Record_faults(session.library()), testing::IsEmpty());
}

}  // namespace
