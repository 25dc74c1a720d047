#include "storage/sqlite/sqlite_storage.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "storage/no_storage.h"
#include "storage/storage_contract.h"
#include "storage/storage_error.h"
#include "support/captured_output.h"
#include "support/library_session.h"
#include "support/records_check.h"
#include "support/records_text.h"
#include "support/scratch_folder.h"
#include "support/scripted_input.h"
#include "support/session_steps.h"
#include "support/test_clock.h"

namespace {

// A folder of its own for the data files of each test.
class DataFileTest : public testing::Test {
 protected:
  std::string Path() const { return (_folder.Path() / "library.db").string(); }

 private:
  ScratchFolder _folder;
};

// A session cut in two at a line end.
struct CutSession {
  std::vector<SessionStep> first, second;
};

// Every cut of the session after one of its line ends, the end of the last line included.
std::vector<CutSession> Cuts(const std::vector<SessionStep>& steps) {
  std::vector<CutSession> cuts;
  for (std::size_t step = 0; step < steps.size(); ++step) {
    const std::string& text = steps[step].text;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', end + 1)) {
      CutSession cut;
      cut.first.assign(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(step));
      cut.first.push_back(SessionStep{steps[step].wait_minutes, text.substr(0, end + 1)});
      cut.second.push_back(SessionStep{0, text.substr(end + 1)});
      cut.second.insert(cut.second.end(), steps.begin() + static_cast<std::ptrdiff_t>(step) + 1,
                        steps.end());
      cuts.push_back(std::move(cut));
    }
  }
  return cuts;
}

// What one desk of one run shows over the first part, then, its selections put back where a run
// starts, over the second.
std::string One_run(const CutSession& session, std::string& records_at_cut) {
  TestClock clock(2026, 12, 8, 10, 30);
  ScriptedInput script(&clock);
  ConsoleInput input(script, -1);
  Library library(input);
  CapturedOutput output;
  Type_steps(script, session.first);
  library.Main_menu();
  records_at_cut = Records_text(library);
  library.Reset_selections();
  Type_steps(script, session.second);
  library.Main_menu();
  return output.Text();
}

// What two runs on one data file show, one over each part. `records_loaded` is what the second
// run starts from; `faults`, what the records check finds in it.
std::string Two_runs(const std::string& path, const CutSession& session,
                     std::string& records_loaded, std::vector<std::string>& faults) {
  TestClock clock(2026, 12, 8, 10, 30);
  CapturedOutput output;
  for (const std::vector<SessionStep>* part : {&session.first, &session.second}) {
    ScriptedInput script(&clock);
    ConsoleInput input(script, -1);
    SqliteStorage storage(path);
    Library library(input, storage);
    if (part == &session.second) {
      records_loaded = Records_text(library);
      faults = Record_faults(library);
    }
    Type_steps(script, *part);
    library.Main_menu();
  }
  return output.Text();
}

std::vector<std::filesystem::path> Corpus_sessions() {
  std::vector<std::filesystem::path> sessions(
      std::filesystem::directory_iterator(SHELVORANQUIST_FUZZ_CORPUS), {});
  std::sort(sessions.begin(), sessions.end());
  return sessions;
}

TEST_F(DataFileTest, SessionCutAtAnyLineEndGoesOnInANewRunAsInOne) {
  for (const std::filesystem::path& session_file : Corpus_sessions()) {
    std::ifstream file(session_file, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const std::vector<CutSession> cuts = Cuts(Session_steps(bytes.str()));
    for (std::size_t at = 0; at < cuts.size(); ++at) {
      SCOPED_TRACE(session_file.filename().string() + ", cut after line " + std::to_string(at + 1));
      std::string records_at_cut, records_loaded;
      std::vector<std::string> faults;
      const std::string expected = One_run(cuts[at], records_at_cut);
      const std::string shown = Two_runs(Path(), cuts[at], records_loaded, faults);
      ScratchFolder::Remove_data_file(Path());
      EXPECT_EQ(records_loaded, records_at_cut);
      EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
      EXPECT_EQ(shown, expected);
      if (HasFailure()) return;
    }
  }
}

// A desk of one run that counts the changes it keeps, and refuses the one numbered `refused`
// (from 1) as a failing disk would.
class CountingStorage final : public Storage {
 public:
  explicit CountingStorage(int refused = 0) : _refused(refused) {}
  int Changes() const { return _changes; }

  void Load(const Restore& restore) override { _kept.Load(restore); }
  void Keep(Change& change) override {
    if (++_changes == _refused) throw StorageError(StorageError::Kind::io, "disk I/O error");
    _kept.Keep(change);
  }

 private:
  NoStorage _kept;
  int _refused;
  int _changes = 0;
};

// What the session writes up to its last change, refused by the storage.
std::string Shown_until_last_change_refused(const std::string& before, int wait_days,
                                            const std::string& keys) {
  CountingStorage counting;
  LibrarySession(counting).Type(before).Wait_days(wait_days).Type(keys).Run();
  CountingStorage refusing(counting.Changes());
  LibrarySession session(refusing);
  session.Type(before).Wait_days(wait_days).Type(keys);
  CapturedOutput output;
  EXPECT_THROW(session.library().Main_menu(), StorageError);
  return output.Text();
}

TEST(RefusedChangeTest, ChangeIsKeptBeforeAnythingThatFollowsItIsWritten) {
  const std::string members = Add_member_keys("Ann Lee", 101) + Add_member_keys("Bob Stone", 102);
  const std::string stock = members + Add_book_keys("B1", "Hamlet", "William Shakespeare", 14) +
                            Add_video_keys("V1", "Vertigo", "Alfred Hitch", 7);
  const std::string lent = stock + Select_member_keys(101) + Select_item_keys("B1") + "7\n";
  const std::string held = lent + Select_member_keys(102) + Select_item_keys("B1") + "9\n";
  const std::string details = "===================\nMEMBER         : ";
  const struct {
    const char* change;
    std::string before;
    int wait_days;
    std::string keys;
    std::string written_next;
  } cases[] = {
      {"member added", "", 0, Add_member_keys("Ann Lee", 101), "\nShelvoranquist"},
      {"member removed", members, 0, Select_member_keys(102) + "3\n", "\nShelvoranquist"},
      {"book added", "", 0, "5\n1\nB1\nHamlet\nW S\n14\n", "\nAdd/Delete item"},
      {"book removed", stock, 0, "5\n5\nB1\n", "BOOK HAS BEEN REMOVED!"},
      {"book lent", stock, 0, Select_member_keys(101) + Select_item_keys("B1") + "7\n",
       details + "Ann Lee"},
      {"video lent", stock, 0, Select_member_keys(101) + Select_item_keys("V1") + "7\n",
       "\nShelvoranquist"},
      {"book held", lent, 0, Select_member_keys(102) + Select_item_keys("B1") + "9\n",
       details + "Bob Stone"},
      {"book held from a title search", lent, 0,
       Select_member_keys(102) + "12\n1\n2\nHamlet\ny\nB1\n", details + "Bob Stone"},
      {"hold cancelled", held, 0, Select_member_keys(102) + Select_item_keys("B1") + "10\n",
       details + "Bob Stone"},
      {"overdue held book returned", held, 20,
       Select_member_keys(101) + Select_item_keys("B1") + "8\n", "PLEASE HOLD THIS BOOK"},
      {"held book lent to its holder", held, 20,
       Select_member_keys(101) + Select_item_keys("B1") + "8\n" + Select_member_keys(102) +
           Select_item_keys("B1") + "7\n",
       details + "Bob Stone"},
  };
  for (const auto& [change, before, wait_days, keys, written_next] : cases) {
    SCOPED_TRACE(change);
    const std::string shown = LibrarySession().Type(before).Wait_days(wait_days).Type(keys).Run();
    const std::string refused = Shown_until_last_change_refused(before, wait_days, keys);
    ASSERT_EQ(shown.substr(0, refused.size()), refused);
    EXPECT_EQ(shown.substr(refused.size(), written_next.size()), written_next);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, StorageContractTest,
                         testing::Values(Engine{
                             "sqlite", [](const std::string& place) -> std::unique_ptr<Storage> {
                               return std::make_unique<SqliteStorage>(place + ".db");
                             }}));

}  // namespace
