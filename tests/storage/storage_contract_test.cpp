// The contract of every keeping engine; each engine's tests instantiate it.

#include <string>
#include <vector>

#include "storage/storage_contract.h"
#include "storage/storage_error.h"

namespace {

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

}  // namespace
