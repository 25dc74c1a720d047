#include "circulation/holdings.h"

#include <gmock/gmock.h>

#include <functional>
#include <string>
#include <vector>

#include "storage/storage_error.h"

namespace {

using testing::HasSubstr;

// A member, an item of each kind and a loan and a hold, by keys far apart, as an earlier run
// may have left them.
StoredRecords Kept_records() {
  const StampRow due{2026, 12, 20, 17, 0};
  StoredRecords records;
  records.members = {{7, "Ann", "1 Mill Lane", "555", "ann@example.org", 101}};
  records.books = {{3, "B1", "Hamlet", "Shakespeare", "", 14, due}};
  records.cds = {{4, "C1", "Blue", "Ray", "45 min", 7, due}};
  records.journals = {{5, "J1", "Monthly", "Ed", "1. Intro", 0, {}}};
  records.videos = {{6, "V1", "Heat", "Mann", "PG", 2, due}};
  records.loans = {{9, 3, std::nullopt, std::nullopt, 7}};
  records.holds = {{11, std::nullopt, std::nullopt, 6, std::nullopt}};
  return records;
}

TEST(HoldingsRestoreTest, RebuildsEveryRecordWithItsKeyAndItsLinks) {
  Holdings holdings;
  holdings.Restore(Kept_records());
  const Member& ann = holdings.Members().At(0);
  const Book& book = holdings.Books().At(0);
  const Video& video = holdings.Videos().At(0);
  EXPECT_EQ(ann.Key(), 7);
  EXPECT_EQ(holdings.Journals().At(0).Key(), 5);
  ASSERT_TRUE(book.Is_on_loan());
  EXPECT_EQ(book.Loan_record()->Key(), 9);
  EXPECT_EQ(book.Loan_record()->Borrower(), &ann);
  EXPECT_EQ(book.Due(), DateTime(2026, 12, 20, 17, 0));
  EXPECT_EQ(ann.Loans().size(), 1U);
  EXPECT_EQ(holdings.Loans().Entries().size(), 1U);
  ASSERT_TRUE(video.Is_on_hold());
  EXPECT_EQ(video.Hold_record()->Holder(), &holdings.Blank_member());
  EXPECT_EQ(holdings.Blank_member().Holds().size(), 1U);
}

// One rule broken each, with the reason the refusal gives; or, with no reason, a row at the
// edge of a rule that must still load.
struct Broken {
  const char* rule;
  std::function<void(StoredRecords&)> break_it;
  const char* reason;
};

const std::string forty_nine_letters(49, 'a');
const std::string forty_nine_accents = [] {
  std::string text;
  for (int at = 0; at < 49; ++at) text += "\xC3\xA9";
  return text;
}();

const std::vector<Broken> broken{
    {"the largest key", [](StoredRecords& r) { r.holds[0].key = most_record_key; }, nullptr},
    {"a key past the largest", [](StoredRecords& r) { r.books[0].key = most_record_key + 1; },
     "books row 4611686018427387905: id is 4611686018427387905, more than 4611686018427387904"},
    {"a month", [](StoredRecords& r) { r.books[0].due.month = 13; }, "due_month is 13"},
    {"a day of April",
     [](StoredRecords& r) {
       r.cds[0].due = {2026, 4, 31, 0, 0};
     },
     "cds row 4: due_day is 31, not from 1 to 30"},
    {"a leap day",
     [](StoredRecords& r) {
       r.cds[0].due = {2024, 2, 29, 23, 59};
     },
     nullptr},
    {"an hour", [](StoredRecords& r) { r.videos[0].due.hour = 24; }, "due_hour is 24"},
    {"a year", [](StoredRecords& r) { r.videos[0].due.year = 0; }, "due_year is 0"},
    {"a loan length", [](StoredRecords& r) { r.books[0].loan_days = -1; }, "loan_days is -1"},
    {"a card number", [](StoredRecords& r) { r.members[0].library_number = 1LL << 40; },
     "library_number is 1099511627776"},
    {"a title at its limit", [](StoredRecords& r) { r.books[0].title = forty_nine_letters; },
     nullptr},
    {"a title of 49 two-byte letters",
     [](StoredRecords& r) { r.books[0].title = forty_nine_accents; }, nullptr},
    {"a title past its limit",
     [](StoredRecords& r) { r.books[0].title = forty_nine_letters + "a"; },
     "books row 3: title has 50 characters, more than 49"},
    {"invalid bytes, one character each",
     [](StoredRecords& r) { r.members[0].name = std::string(50, '\xFF'); },
     "members row 7: name has 50 characters"},
    {"a huge title", [](StoredRecords& r) { r.journals[0].title = std::string(200000, 'x'); },
     "journals row 5: title has 200000 characters"},
    {"a rating", [](StoredRecords& r) { r.videos[0].detail = std::string(20, 'R'); },
     "rating has 20 characters, more than 19"},
    {"a loan of a missing book", [](StoredRecords& r) { r.loans[0].book = 99; },
     "loans row 9: book_id names no stored item"},
    {"a second loan",
     [](StoredRecords& r) {
       r.loans.push_back({10, 3, {}, {}, {}});
     },
     "loans row 10: book_id names an item that is on loan already"},
    {"a second hold",
     [](StoredRecords& r) {
       r.holds.push_back({12, {}, {}, 6, 7});
     },
     "holds row 12: video_id names an item that is on hold already"},
    {"a hold of an unknown member", [](StoredRecords& r) { r.holds[0].member = 8; },
     "holds row 11: member_id names no member"},
    {"a loan of two items", [](StoredRecords& r) { r.loans[0].cd = 4; },
     "loans row 9: names no item or more than one"},
    {"a key twice", [](StoredRecords& r) { r.members.push_back(r.members[0]); },
     "members row 7: id is taken already"},
};

TEST(HoldingsRestoreTest, RefusesTheFirstRowThatBreaksARule) {
  for (const Broken& row : broken) {
    SCOPED_TRACE(row.rule);
    StoredRecords records = Kept_records();
    row.break_it(records);
    Holdings holdings;
    if (row.reason == nullptr) {
      EXPECT_NO_THROW(holdings.Restore(records));
      continue;
    }
    try {
      holdings.Restore(records);
      ADD_FAILURE() << "restored";
    } catch (const StorageError& error) {
      EXPECT_TRUE(error.Is_damaged());
      EXPECT_THAT(error.what(), HasSubstr(row.reason));
    }
  }
}

TEST(HoldingsApplyTest, AChangeNamingWhatTheDeskLacksChangesNothing) {
  Holdings holdings;
  holdings.Restore(Kept_records());
  const std::vector<Change> strangers{
      MemberRemoved{8},
      MemberRemoved{7},  // Ann has a loan
      ItemRemoved{ItemKind::book, 3},
      LoanMade{{20, std::nullopt, 4, std::nullopt, 7}, {2026, 12, 20, 17, 0}, 11},
      LoanEnded{{21, 3, {}, {}, 7}},
      HoldEnded{{22, std::nullopt, std::nullopt, 6, std::nullopt}},
  };
  for (const Change& change : strangers) {
    SCOPED_TRACE(change.index());
    EXPECT_THROW(holdings.Apply(change), StorageError);
  }
  EXPECT_EQ(holdings.Members().Count(), 1);
  EXPECT_FALSE(holdings.Cds().At(0).Is_on_loan());
  EXPECT_TRUE(holdings.Videos().At(0).Is_on_hold());
  EXPECT_TRUE(holdings.Books().At(0).Is_on_loan());
}

}  // namespace
