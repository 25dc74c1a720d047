// Input that a careless or hostile librarian can type: the run must stay bounded in time and
// memory, never assert, and leave consistent records whatever arrives and wherever it stops.

#include <gmock/gmock.h>
#include <malloc.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <streambuf>
#include <string>
#include <vector>

#include "support/captured_output.h"
#include "support/library_session.h"
#include "support/records_check.h"

#if defined(__SANITIZE_ADDRESS__)
#define SHELVORANQUIST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SHELVORANQUIST_ASAN 1
#endif
#endif
#ifdef SHELVORANQUIST_ASAN
// The sanitizer runtime's count of heap bytes in use (not every compiler ships its header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::StartsWith;

// Bytes of heap memory in use now.
std::size_t Allocated_bytes() {
#ifdef SHELVORANQUIST_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// Input made as it is read: `before`, then a line of `length` bytes of 'x' and its line end,
// then `after`; it never holds more than a small buffer of the long line. At every refill it
// notes how much more heap memory is in use than when it was made.
class LongLineInput : public std::streambuf {
 public:
  LongLineInput(std::string before, std::size_t length, std::string after)
      : _before(std::move(before)),
        _after(std::move(after)),
        _long_line_left(length),
        _baseline(Allocated_bytes()) {}

  std::size_t Most_growth() const { return _most_growth; }

 protected:
  int_type underflow() override {
    const std::size_t in_use = Allocated_bytes();
    if (in_use > _baseline) _most_growth = std::max(_most_growth, in_use - _baseline);
    switch (_stage) {
      case Stage::before:
        _stage = Stage::long_line;
        return Serve(_before.data(), _before.size());
      case Stage::long_line:
        if (_long_line_left > 0) {
          const std::size_t count = std::min(_long_line_left, sizeof _chunk);
          std::fill_n(_chunk, count, 'x');
          _long_line_left -= count;
          return Serve(_chunk, count);
        }
        _stage = Stage::after;
        _chunk[0] = '\n';
        return Serve(_chunk, 1);
      case Stage::after:
        _stage = Stage::ended;
        return Serve(_after.data(), _after.size());
      case Stage::ended:
        break;
    }
    return traits_type::eof();
  }

 private:
  enum class Stage { before, long_line, after, ended };

  int_type Serve(char* text, std::size_t size) {
    if (size == 0) return underflow();
    setg(text, text, text + size);
    return traits_type::to_int_type(*gptr());
  }

  std::string _before;
  std::string _after;
  std::size_t _long_line_left;
  Stage _stage = Stage::before;
  char _chunk[65536];
  std::size_t _baseline;
  std::size_t _most_growth = 0;
};

constexpr std::size_t ten_megabytes = 10 * 1024 * 1024;

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// A text prompt, the keys at the main menu that reach it, and the keys that answer it validly
// and end the screen.
struct TextPrompt {
  const char* before;
  const char* prompt;
  int most;
  const char* after;
};

const TextPrompt text_prompts[] = {
    {"1\n", "Name: ", 49, "Ann\n1 Lane\n555\na@b\n7\n"},
    {"1\nAnn\n", "Address: ", 99, "1 Lane\n555\na@b\n7\n"},
    {"1\nAnn\n1 Lane\n", "Phone number: ", 49, "555\na@b\n7\n"},
    {"1\nAnn\n1 Lane\n555\n", "E-mail address: ", 254, "a@b\n7\n"},
    {"2\n2\n", "Member's name : ", 49, "Ann\n"},
    {"2\n4\n", "Member's name : ", 49, "Ann\n"},
    {"5\n1\n", "Barcode: ", 49, "B1\nDune\nHerbert\n14\n6\n"},
    {"5\n1\nB1\n", "Title: ", 49, "Dune\nHerbert\n14\n6\n"},
    {"5\n1\nB1\nDune\n", "Author: ", 49, "Herbert\n14\n6\n"},
    {"5\n2\nC1\nBlue\nRay\n", "Play Time: ", 49, "45 min\n7\n6\n"},
    {"5\n2\nC1\nBlue\n", "Artist: ", 49, "Ray\n45 min\n7\n6\n"},
    {"5\n3\nJ1\nNature\n", "Editor: ", 49, "Ed\nCells\n6\n"},
    {"5\n3\nJ1\nNature\nEd\n", "Table of content: ", 149, "Cells\n6\n"},
    {"5\n4\nV1\nHeat\n", "Director: ", 49, "Mann\nPG\n3\n6\n"},
    {"5\n4\nV1\nHeat\nMann\n", "Rating: ", 19, "PG\n3\n6\n"},
    {"5\n5\n", "READING BARCODE OF THE ITEM TO BE DELETED: ", 49, "B1\n6\n"},
    {"6\n", "Please enter the bar code number : ", 49, "B1\n"},
    {"12\n1\n1\n", "Please enter book's bar code number : ", 49, "B1\nn\n"},
    {"12\n1\n2\n", "Please enter book's title : ", 49, "Dune\nn\n"},
    {"12\n1\n3\n", "Please enter Author's name : ", 49, "Herbert\nn\n"},
    {"12\n1\n2\nDune\ny\n", "Please enter the book's bar code to be hold : ", 49, "B1\n"},
    {"12\n2\n1\n", "Please enter CD's bar code number : ", 49, "C1\nn\n"},
    {"12\n2\n3\n", "Please enter Artist's name : ", 49, "Ray\nn\n"},
    {"12\n3\n2\n", "Please enter journal's title : ", 49, "Nature\n"},
    {"12\n3\n3\n", "Please enter editor's name : ", 49, "Ed\n"},
    {"12\n4\n1\n", "Please enter video's bar code number : ", 49, "V1\nn\n"},
    {"12\n4\n2\nHeat\ny\n", "Please enter the Video's bar code to be hold : ", 49, "V1\n"},
};

// A library with a member, and one item of each kind whose texts the prompts above answer.
void Stock(LibrarySession& session) {
  session.Type(Add_member_keys("Ann", 7))
      .Type(Add_book_keys("B1", "Dune", "Herbert", 14))
      .Type(Add_cd_keys("C1", "Blue", "Ray", 7))
      .Type(Add_journal_keys("J1", "Nature", "Ed"))
      .Type(Add_video_keys("V1", "Heat", "Mann", 3))
      .Type(Select_member_keys(7));
}

TEST(HostileInputTest, ATenMegabyteLineAtEveryTextPromptIsRefusedAndAskedAgain) {
  const std::string long_line(ten_megabytes, 'x');
  for (const TextPrompt& text : text_prompts) {
    LibrarySession session;
    Stock(session);
    const std::string out =
        session.Type(text.before).Type(long_line + "\n").Type(text.after).Type("14\n").Run();
    const std::string refusal = std::string(text.prompt) + "PLEASE ENTER AT MOST " +
                                std::to_string(text.most) + " CHARACTERS!\n" + text.prompt;
    EXPECT_THAT(out, HasSubstr(refusal)) << text.prompt;
    EXPECT_THAT(out, EndsWith(main_menu + "\n")) << text.prompt;
    EXPECT_THAT(Record_faults(session.library()), IsEmpty()) << text.prompt;
  }
}

TEST(HostileInputTest, ALongLineIsNeverHeldWhole) {
  LongLineInput source("1\n", ten_megabytes, "Ann\n1 Lane\n555\na@b\n7\n14\n");
  ConsoleInput input(source, -1);
  Library library(input);
  const std::string out = Output_of([&] { library.Main_menu(); });
  EXPECT_THAT(out, HasSubstr("Name: PLEASE ENTER AT MOST 49 CHARACTERS!\nName: Address: "));
  ASSERT_EQ(library.Members().Count(), 1);
  EXPECT_EQ(library.Members().At(0).Name(), "Ann");
  // The refused line passed through the input layer without being gathered anywhere.
  EXPECT_LT(source.Most_growth(), ten_megabytes / 10);
}

TEST(HostileInputTest, ANumberOfTenThousandDigitsIsNoNumberAtAnyNumberPrompt) {
  const std::string digits(10'000, '9');
  LibrarySession session;
  const std::string out = session
                              .Type(digits + "\n")  // main menu: an invalid choice
                              .Type("1\nAnn\n1 Lane\n555\na@b\n" + digits + "\n7\n")
                              .Type("5\n1\nB1\nDune\nHerbert\n-" + digits + "\n14\n6\n")
                              .Type("2\n1\n" + digits + "\n7\n")
                              .Type("14\n")
                              .Run();
  EXPECT_THAT(out, StartsWith(main_menu + "\n" + main_menu + "\n"));
  EXPECT_THAT(out, HasSubstr("Library number: PLEASE ENTER A NUMBER!\nLibrary number: \n"));
  EXPECT_THAT(out, HasSubstr("Book's loan length (days): PLEASE ENTER A NUMBER!\n"
                             "Book's loan length (days): \n"));
  EXPECT_THAT(out, HasSubstr("Library card number : PLEASE ENTER A NUMBER!\n"
                             "Library card number : \n"));
  ASSERT_EQ(session.library().Members().Count(), 1);
  EXPECT_EQ(session.library().Members().At(0).Library_number(), 7);
  EXPECT_EQ(session.library().Books().At(0).Loan_days(), 14);
  EXPECT_EQ(session.library().Selected_member(), &session.library().Members().At(0));
}

TEST(HostileInputTest, BinaryBytesAndNulsAreOrdinaryCharactersOrInvalidAnswers) {
  const std::string name("\0An\x01n\xff\x80", 7);
  LibrarySession session;
  const std::string out = session
                              .Type(std::string("\0\x01\xfe\n", 4))  // main menu
                              .Type("1\n" + name + "\n1 Lane\n555\n\x7f\xc3\xa9\n")
                              .Type(std::string("\0", 1) + "\n7\n")  // card number
                              .Type("2\n2\n" + name + "\n")
                              .Type(Add_book_keys("B1", "Dune", "Herbert", 14))
                              .Type("12\n1\n1\nB1\n" + std::string("\0y\n", 3))  // hold? no
                              .Type("14\n")
                              .Run();
  EXPECT_THAT(out, StartsWith(main_menu + "\n" + main_menu + "\n"));
  EXPECT_THAT(out, HasSubstr("Library number: PLEASE ENTER A NUMBER!\nLibrary number: "));
  const Library& library = session.library();
  ASSERT_EQ(library.Members().Count(), 1);
  EXPECT_EQ(library.Members().At(0).Name(), name);
  EXPECT_EQ(library.Members().At(0).Email_address(), "\x7f\xc3\xa9");
  EXPECT_EQ(library.Selected_member(), &library.Members().At(0));
  EXPECT_THAT(library.Holds().Entries(), IsEmpty());
}

TEST(HostileInputTest, CarriageReturnLineEndsDriveAWholeSessionAsLineFeedsDo) {
  const std::string keys = Add_member_keys("Ann", 7) + Add_book_keys("B1", "Dune", "Herbert", 14) +
                           Select_member_keys(7) + Select_item_keys("B1") + "7\n" +
                           Select_item_keys("B1") + "8\n" + "14\n";
  std::string crlf_keys;
  for (const char c : keys) crlf_keys += c == '\n' ? std::string("\r\n") : std::string(1, c);
  LibrarySession lf;
  LibrarySession crlf;
  EXPECT_EQ(crlf.Type(crlf_keys).Run(), lf.Type(keys).Run());
  const Member& member = crlf.library().Members().At(0);
  EXPECT_EQ(member.Name(), "Ann");
  EXPECT_EQ(member.Email_address(), "member@example.org");
  EXPECT_EQ(crlf.library().Books().At(0).Call_number(), "B1");
  EXPECT_EQ(crlf.library().Books().At(0).Title(), "Dune");
  // 49 characters and CR LF is the longest accepted field.
  LibrarySession longest;
  longest.Type("1\n" + std::string(49, 'n') + "\r\n1 Lane\r\n555\r\na@b\r\n7\r\n14\r\n").Run();
  ASSERT_EQ(longest.library().Members().Count(), 1);
  EXPECT_EQ(longest.library().Members().At(0).Name(), std::string(49, 'n'));
}

// What the records hold, counted: a screen cut short must leave every count as it was.
struct Stored {
  int members, books, cds, journals, videos;
  std::size_t loans, holds;
  bool operator==(const Stored&) const = default;
};

Stored Stored_in(const Library& library) {
  return Stored{library.Members().Count(),       library.Books().Count(),
                library.Cds().Count(),           library.Journals().Count(),
                library.Videos().Count(),        library.Loans().Entries().size(),
                library.Holds().Entries().size()};
}

TEST(HostileInputTest, EndOfInputInsideAnyScreenEndsQuietlyAndStoresNothingHalfEntered) {
  // Each step is one screen whose last answer completes it; the steps visit every screen.
  const std::vector<std::string> steps = {
      "1\nAnn\n1 Lane\n555\na@b\n7\n",
      "1\nBob\n2 Lane\n556\nb@c\n8\n",
      "5\n",
      "1\nB1\nDune\nHerbert\n14\n",
      "2\nC1\nBlue\nRay\n45 min\n7\n",
      "3\nJ1\nNature\nEd\nCells\n",
      "4\nV1\nHeat\nMann\nPG\n3\n",
      "1\nB2\nEmma\nAusten\n21\n",
      "5\nB2\n",
      "6\n",
      "2\n1\n7\n",
      "2\n2\nAnn\n",
      "2\n3\n8\n",
      "2\n4\nAnn\n",
      "4\n",
      "6\nB1\n",
      "11\n",
      "7\n",
      "6\nC1\n",
      "9\n",
      "6\nC1\n",
      "10\n",
      "12\n1\n1\nB1\ny\n",
      "12\n1\n2\nDune\ny\nB1\n",
      "12\n2\n3\nRay\nn\n",
      "12\n3\n1\nJ1\n",
      "12\n4\n2\nHeat\ny\nV1\n",
      "13\n",
      "6\nB1\n",
      "8\n",
      "2\n1\n8\n",
      "3\n",
  };
  std::string script;
  std::vector<std::size_t> step_start;
  for (const std::string& step : steps) {
    step_start.push_back(script.size());
    script += step;
  }
  const std::string full_output = LibrarySession().Type(script + "14\n").Run();

  for (std::size_t step = 0; step < steps.size(); ++step) {
    LibrarySession before;
    before.Type(script.substr(0, step_start[step])).Run();
    const Stored stored_before = Stored_in(before.library());
    // Every cut from the screen's first key up to its last answer, which would complete it;
    // a number cut short is still a number, and a text cut short is still a text.
    const std::size_t last_line = steps[step].rfind('\n', steps[step].size() - 2) + 1;
    for (std::size_t cut = 0; cut < last_line; ++cut) {
      LibrarySession session;
      const std::string out = session.Type(script.substr(0, step_start[step] + cut)).Run();
      SCOPED_TRACE("cut " + std::to_string(cut) + " into step " + std::to_string(step));
      // Cut after a line end, the run has written what the whole script writes up to there.
      if (cut == 0 or script[step_start[step] + cut - 1] == '\n') {
        EXPECT_THAT(full_output, StartsWith(out));
      }
      EXPECT_TRUE(Stored_in(session.library()) == stored_before);
      EXPECT_THAT(Record_faults(session.library()), IsEmpty());
    }
  }
}

TEST(HostileInputTest, TheLargestAndSmallestThirtyTwoBitNumbersAreHandled) {
  LibrarySession session;
  const std::string out = session.Type(Add_member_keys("Max", 2147483647))
                              .Type(Add_member_keys("Min", std::numeric_limits<int>::min()))
                              .Type(Add_book_keys("B1", "Dune", "Herbert", 2147483647))
                              .Type("5\n1\nB2\nEmma\nAusten\n-2147483648\n-1\n0\n6\n")
                              .Type(Select_member_keys(std::numeric_limits<int>::min()))
                              .Type("4\n")
                              .Type(Select_member_keys(2147483647))
                              .Type(Select_item_keys("B1") + "7\n")
                              .Wait_days(365 * 64)
                              .Type("13\n")
                              .Type(Select_item_keys("B2") + "7\n")
                              .Type("2\n1\n2147483648\n-2147483649\n2147483647\n")
                              .Type(Select_item_keys("B1") + "8\n")
                              .Type("14\n")
                              .Run();
  const Library& library = session.library();
  EXPECT_THAT(out, HasSubstr("Book's loan length (days): LOAN LENGTH MUST BE 0 DAYS OR MORE!\n"
                             "Book's loan length (days): LOAN LENGTH MUST BE 0 DAYS OR MORE!\n"
                             "Book's loan length (days): \n"));
  EXPECT_EQ(library.Books().At(0).Loan_days(), 2147483647);
  EXPECT_EQ(library.Books().At(1).Loan_days(), 0);
  EXPECT_THAT(out, HasSubstr("MEMBER         : Min\n"));
  EXPECT_THAT(out, HasSubstr("Library Number : -2147483648\n"));
  // Lent on 8 December 2026 at 10:30 am for 2147483647 days.
  EXPECT_THAT(out, HasSubstr("Books borrowed = B1 Dune Due date :10:30am  17/6/5881637\n"));
  // 64 years later the loan is far from due, so the member may borrow again.
  EXPECT_THAT(out, HasSubstr("MEMBER WITH OVERDUE ITEM/ITEMS\n"
                             "==============================\n\n"));
  EXPECT_THAT(out, HasSubstr("Books borrowed = B1 Dune Due date :10:30am  17/6/5881637"
                             "Books borrowed = B2 Emma Due date :"));
  EXPECT_THAT(out, HasSubstr("Library card number : PLEASE ENTER A NUMBER!\n"
                             "Library card number : PLEASE ENTER A NUMBER!\n"
                             "Library card number : \n"));
  ASSERT_EQ(library.Loans().Entries().size(), 1u);
  EXPECT_EQ(library.Loans().Entries()[0].Borrowed_item(), &library.Books().At(1));
  EXPECT_THAT(Record_faults(library), IsEmpty());
}

TEST(HostileInputTest, AHundredThousandInvalidMenuChoicesOnlyShowTheMenuAgain) {
  const char* const invalid[] = {"0\n", "15\n", "x\n", "-7\n", "99999999999\n"};
  std::string keys;
  for (int choice = 0; choice < 100'000; ++choice) keys += invalid[choice % 5];
  LibrarySession session;
  session.Type(Add_member_keys("Ann", 7));
  const std::string out = session.Type(keys + "14\n").Run();
  EXPECT_EQ(Occurrences(out, main_menu), 100'002u);
  EXPECT_THAT(out, EndsWith(main_menu + "\n" + main_menu + "\n"));
  EXPECT_EQ(session.library().Members().Count(), 1);
  EXPECT_THAT(Record_faults(session.library()), IsEmpty());
}

}  // namespace
