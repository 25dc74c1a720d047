#ifndef SHELVORANQUIST_TESTS_STORAGE_STORAGE_CONTRACT_H_
#define SHELVORANQUIST_TESTS_STORAGE_STORAGE_CONTRACT_H_

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "storage/storage.h"
#include "support/scratch_folder.h"

// What every engine that keeps the records between runs promises the desk, written once against
// the Storage interface (storage_contract_test.cpp); an engine joins by instantiating the suite
// with its factory:
//
//   INSTANTIATE_TEST_SUITE_P(Engines, StorageContractTest, testing::Values(Engine{...}));

struct Engine {
  const char* name;
  // Opens the records at `place`, a path in a scratch folder of the test's own.
  std::function<std::unique_ptr<Storage>(const std::string& place)> open;
};

inline void PrintTo(const Engine& engine, std::ostream* out) { *out << engine.name; }

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

#endif  // SHELVORANQUIST_TESTS_STORAGE_STORAGE_CONTRACT_H_
