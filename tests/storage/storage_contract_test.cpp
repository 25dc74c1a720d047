// What every engine that keeps the records between runs promises the desk, written once against
// the Storage interface; an engine joins by adding its factory to the engines below.

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "storage/sqlite/sqlite_storage.h"
#include "storage/storage.h"
#include "storage/storage_error.h"
#include "support/scratch_folder.h"

namespace {

struct Engine {
  const char* name;
  // Opens the records at `place`, a path in a scratch folder of the test's own.
  std::function<std::unique_ptr<Storage>(const std::string& place)> open;
};

void PrintTo(const Engine& engine, std::ostream* out) { *out << engine.name; }

class StorageContractTest : public testing::TestWithParam<Engine> {
 protected:
  // The records as an engine opened now loads them.
  StoredRecords Reopened() {
    StoredRecords loaded;
    Open()->Load([&](const StoredRecords& records) { loaded = records; });
    return loaded;
  }

  std::unique_ptr<Storage> Open() { return GetParam().open((_folder.Path() / "records").string()); }

  // An opened storage, loaded, with Ann (a card of her own) and Bob, and a book, a CD, a journal
  // and a video; `kept` is what it holds.
  std::unique_ptr<Storage> Stocked(StoredRecords& kept) {
    std::unique_ptr<Storage> storage = Open();
    storage->Load([](const StoredRecords&) {});
    for (MemberRow member : {MemberRow{0, "Ann", "1 Mill Lane", "555", "ann@example.org", 101},
                             MemberRow{0, std::string("B\0b \xFF", 5), "", "", "b", -7}}) {
      Change change = MemberAdded{member};
      storage->Keep(change);
      kept.members.push_back(std::get<MemberAdded>(change).member);
    }
    const StampRow never{9999, 1, 1, 1, 1};
    for (auto [kind, item, rows] :
         {std::tuple{ItemKind::book, ItemRow{0, "B1", "Hamlet", "Shakespeare", "", 14, never},
                     &kept.books},
          std::tuple{ItemKind::cd, ItemRow{0, "C1", "Blue", "Ray", "45 min", 7, never}, &kept.cds},
          std::tuple{ItemKind::journal, ItemRow{0, "J1", "Monthly", "Ed", "1. Intro", 0, {}},
                     &kept.journals},
          std::tuple{ItemKind::video, ItemRow{0, "V1", "Heat", "Mann", "PG", 2, never},
                     &kept.videos}}) {
      Change change = ItemAdded{kind, item};
      storage->Keep(change);
      rows->push_back(std::get<ItemAdded>(change).item);
    }
    return storage;
  }

 private:
  ScratchFolder _folder;
};

TEST_P(StorageContractTest, EveryChangeComesBackWithItsKeysWhenOpenedAgain) {
  StoredRecords kept;
  {
    std::unique_ptr<Storage> storage = Stocked(kept);
    const RecordKey ann = kept.members[0].key;
    const RecordKey book = kept.books[0].key;
    const RecordKey cd = kept.cds[0].key;
    const RecordKey video = kept.videos[0].key;
    EXPECT_NE(ann, kept.members[1].key);
    const StampRow due{2026, 12, 22, 10, 30};
    Change cd_held = HoldPlaced{{0, {}, cd, {}, ann}, {2026, 12, 9, 10, 30}};
    Change video_lent = LoanMade{{0, {}, {}, video, {}}, due, {}};
    Change book_lent = LoanMade{{0, book, {}, {}, ann}, due, {}};
    Change book_held = HoldPlaced{{0, book, {}, {}, kept.members[1].key}, due};
    for (Change* change : {&cd_held, &video_lent, &book_lent, &book_held}) storage->Keep(*change);
    // The CD goes to its own holder, which ends the hold; the book comes back.
    Change cd_lent = LoanMade{{0, {}, cd, {}, ann}, due, std::get<HoldPlaced>(cd_held).hold.key};
    Change book_back = LoanEnded{std::get<LoanMade>(book_lent).loan};
    Change hold_ended = HoldEnded{std::get<HoldPlaced>(book_held).hold};
    Change journal_gone = ItemRemoved{ItemKind::journal, kept.journals[0].key};
    for (Change* change : {&cd_lent, &book_back, &hold_ended, &journal_gone}) {
      storage->Keep(*change);
    }
    EXPECT_TRUE(storage->Changes_elsewhere().empty());
    kept.journals.clear();
    kept.cds[0].due = due;
    kept.videos[0].due = due;
    kept.books[0].due = due;
    kept.loans = {std::get<LoanMade>(video_lent).loan, std::get<LoanMade>(cd_lent).loan};
  }
  EXPECT_EQ(Reopened(), kept);
  // The keys stay the records' keys in a later run.
  std::unique_ptr<Storage> again = Open();
  again->Load([](const StoredRecords&) {});
  Change returned = LoanEnded{kept.loans[1]};
  again->Keep(returned);
  Change gone = MemberRemoved{kept.members[1].key};
  again->Keep(gone);
  again.reset();
  kept.loans.pop_back();
  kept.members.pop_back();
  EXPECT_EQ(Reopened(), kept);
}

TEST_P(StorageContractTest, AChangeTheRecordsMakeImpossibleIsRefusedAndNothingOfItKept) {
  StoredRecords kept;
  std::unique_ptr<Storage> storage = Stocked(kept);
  const RecordKey ann = kept.members[0].key;
  const RecordKey book = kept.books[0].key;
  const StampRow due{2026, 12, 22, 10, 30};
  Change lent = LoanMade{{0, book, {}, {}, ann}, due, {}};
  storage->Keep(lent);
  kept.loans.push_back(std::get<LoanMade>(lent).loan);
  kept.books[0].due = due;
  const std::vector<Change> impossible{
      LoanMade{{0, book, {}, {}, {}}, {2027, 1, 1, 0, 0}, {}},     // lent twice
      LoanMade{{0, {}, kept.cds[0].key, {}, ann + 100}, due, {}},  // no such member
      HoldPlaced{{0, {}, {}, kept.videos[0].key + 100, {}}, due},  // no such video
      MemberRemoved{ann},                                          // Ann has a loan
      ItemRemoved{ItemKind::book, book},                           // the book is lent
      MemberRemoved{ann + 100},                                    // no such member
      HoldEnded{{kept.members[1].key + 100, book, {}, {}, ann}},   // no such hold
  };
  for (Change change : impossible) {
    SCOPED_TRACE(change.index());
    try {
      storage->Keep(change);
      ADD_FAILURE() << "kept";
    } catch (const StorageError& error) {
      EXPECT_TRUE(error.Is_refused()) << error.what();
    }
  }
  storage.reset();
  EXPECT_EQ(Reopened(), kept);
}

TEST_P(StorageContractTest, RecordsTheRestoreRefusesAreLeftAsTheyWere) {
  StoredRecords kept;
  Stocked(kept).reset();
  std::unique_ptr<Storage> storage = Open();
  EXPECT_THROW(storage->Load([](const StoredRecords&) {
    throw StorageError(StorageError::Kind::damaged, "refused");
  }),
               StorageError);
  storage.reset();
  EXPECT_EQ(Reopened(), kept);
}

INSTANTIATE_TEST_SUITE_P(
    Engines, StorageContractTest,
    testing::Values(Engine{"sqlite",
                           [](const std::string& place) -> std::unique_ptr<Storage> {
                             return std::make_unique<SqliteStorage>(place + ".db");
                           }}),
    [](const testing::TestParamInfo<Engine>& engine) { return std::string(engine.param.name); });

}  // namespace
