#ifndef SHELVORANQUIST_TESTS_SUPPORT_LIBRARY_SESSION_H_
#define SHELVORANQUIST_TESTS_SUPPORT_LIBRARY_SESSION_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_input.h"
#include "console/library.h"
#include "support/scripted_input.h"
#include "support/test_clock.h"

// A whole Library driven by scripted console input at a time the test controls: what a
// librarian would type, one answer per line, and what the program writes back.
class LibrarySession {
 public:
  // Starts at 10:30 am on Tuesday 8 December 2026, local time, unless told otherwise.
  LibrarySession(int year = 2026, int month = 12, int day = 8, int hour = 10, int minute = 30);
  // The same, on a desk that starts from `storage` and keeps its changes there; `storage` must
  // outlive the session.
  explicit LibrarySession(Storage& storage);

  LibrarySession& Type(std::string_view text);
  // Time passes while the program waits at the prompt reached by what was typed so far.
  LibrarySession& Wait_minutes(std::int64_t minutes);
  LibrarySession& Wait_days(std::int64_t days) { return Wait_minutes(days * 24 * 60); }

  // Runs the main menu over what has been typed until the input runs out (or "14. Quit"), and
  // returns what it wrote. A later Run goes on with what is typed after this one.
  std::string Run();

  Library& library() { return _library; }
  TestClock& clock() { return _clock; }

 private:
  TestClock _clock;
  ScriptedInput _script;
  ConsoleInput _input;
  Library _library;
};

// The main menu and the "Add/Delete item" submenu as the program writes them, each from the
// empty line that opens it up to and including its prompt.
extern const std::string main_menu;
extern const std::string item_menu;
// The online catalogue's menu, which has no prompt, up to its last row. Defined here, so that
// the texts of a test file may be built from it before the tests run.
inline const std::string catalogue_menu =
    "Library Online Catalog\n"
    "======================\n"
    "\n"
    "1, Search Book        \n"
    "2, Search CD          \n"
    "3, Search Journal     \n"
    "4, Search Video       \n"
    "5, Back to main menu  \n";

// What each main-menu choice of a transcript wrote: the text between one main menu's prompt
// (after the empty line it writes once the choice is read) and the next main menu.
std::vector<std::string> Screens(const std::string& transcript);

// What the last main-menu choice of a transcript that ended at the main menu wrote.
std::string Last_screen(const std::string& transcript);

// The details display of a member added with Add_member_keys: `loans` and `holds` are the
// entries of its two record lines, without their line ends.
std::string Member_details(std::string_view name, int library_number, std::string_view loans = "",
                           std::string_view holds = "");

// The keystrokes of common steps at the main menu, each ending back at the main menu.
std::string Add_member_keys(std::string_view name, int library_number);
std::string Add_book_keys(std::string_view bar_code, std::string_view title,
                          std::string_view author, int loan_days);
std::string Add_cd_keys(std::string_view bar_code, std::string_view title, std::string_view artist,
                        int loan_days);
std::string Add_video_keys(std::string_view bar_code, std::string_view title,
                           std::string_view director, int loan_days);
std::string Add_journal_keys(std::string_view bar_code, std::string_view title,
                             std::string_view editor);
std::string Select_member_keys(int library_number);
std::string Select_item_keys(std::string_view bar_code);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_LIBRARY_SESSION_H_
