#include "support/library_session.h"

#include <sstream>

#include "support/captured_output.h"

const std::string main_menu =
    "\n"
    "Shelvoranquist                                                \n"
    "==============                                                \n"
    "Please select from the following :                            \n"
    " 1. Add a new member                8. Return item            \n"
    " 2. Select/search member            9. Hold item              \n"
    " 3. Delete a member                10. Cancel hold item       \n"
    " 4. Display member's details       11. Display item's details \n"
    " 5. Add/delete an item             12. Online catalog         \n"
    " 6. Select item                    13. List of overdues       \n"
    " 7. Borrow item                    14. Quit                   \n"
    "selection : ";

const std::string item_menu =
    "\n"
    "Add/Delete item                               \n"
    "===============                               \n"
    "Please select from the following :                            \n"
    " 1. Add Book                        5. Remove Item            \n"
    " 2. Add CD                          6. Return to main menu    \n"
    " 3. Add Journal                                               \n"
    " 4. Add Video                                                 \n"
    "                                                              \n"
    "selection : ";

LibrarySession::LibrarySession(int year, int month, int day, int hour, int minute)
    : _clock(year, month, day, hour, minute),
      _script(&_clock),
      _input(_script, -1),
      _library(_input) {}

LibrarySession::LibrarySession(Storage& storage)
    : _clock(2026, 12, 8, 10, 30),
      _script(&_clock),
      _input(_script, -1),
      _library(_input, storage) {}

LibrarySession& LibrarySession::Type(std::string_view text) {
  _script.Type(text);
  return *this;
}

LibrarySession& LibrarySession::Wait_minutes(std::int64_t minutes) {
  _script.Wait_minutes(minutes);
  return *this;
}

std::string LibrarySession::Run() {
  CapturedOutput output;
  _library.Main_menu();
  return output.Text();
}

std::vector<std::string> Screens(const std::string& transcript) {
  std::vector<std::string> screens;
  std::size_t at = transcript.find(main_menu);
  while (at != std::string::npos) {
    std::size_t start = at + main_menu.size();
    if (start < transcript.size() and transcript[start] == '\n') ++start;
    const std::size_t next = transcript.find(main_menu, start);
    if (start <= transcript.size()) {
      screens.push_back(
          transcript.substr(start, next == std::string::npos ? std::string::npos : next - start));
    }
    at = next;
  }
  return screens;
}

std::string Last_screen(const std::string& transcript) {
  const std::vector<std::string> screens = Screens(transcript);
  return screens.size() < 2 ? std::string() : screens[screens.size() - 2];
}

std::string Member_details(std::string_view name, int library_number, std::string_view loans,
                           std::string_view holds) {
  std::ostringstream details;
  details << "===================\n"
          << "MEMBER         : " << name << "\n"
          << "Address        : 1 Mill Lane\n"
          << "Phone Number   : 555 0100\n"
          << "E_Mail Address : member@example.org\n"
          << "Library Number : " << library_number << "\n\n"
          << loans << "\n"
          << holds << "\n"
          << "===================\n";
  return details.str();
}

std::string Add_member_keys(std::string_view name, int library_number) {
  std::ostringstream keys;
  keys << "1\n"
       << name << "\n1 Mill Lane\n555 0100\n"
       << "member@example.org\n"
       << library_number << "\n";
  return keys.str();
}

std::string Add_book_keys(std::string_view bar_code, std::string_view title,
                          std::string_view author, int loan_days) {
  std::ostringstream keys;
  keys << "5\n1\n" << bar_code << "\n" << title << "\n" << author << "\n" << loan_days << "\n6\n";
  return keys.str();
}

std::string Add_cd_keys(std::string_view bar_code, std::string_view title, std::string_view artist,
                        int loan_days) {
  std::ostringstream keys;
  keys << "5\n2\n"
       << bar_code << "\n"
       << title << "\n"
       << artist << "\n45 min\n"
       << loan_days << "\n6\n";
  return keys.str();
}

std::string Add_video_keys(std::string_view bar_code, std::string_view title,
                           std::string_view director, int loan_days) {
  std::ostringstream keys;
  keys << "5\n4\n"
       << bar_code << "\n"
       << title << "\n"
       << director << "\nPG\n"
       << loan_days << "\n6\n";
  return keys.str();
}

std::string Add_journal_keys(std::string_view bar_code, std::string_view title,
                             std::string_view editor) {
  std::ostringstream keys;
  keys << "5\n3\n" << bar_code << "\n" << title << "\n" << editor << "\nContents\n6\n";
  return keys.str();
}

std::string Select_member_keys(int library_number) {
  return "2\n1\n" + std::to_string(library_number) + "\n";
}

std::string Select_item_keys(std::string_view bar_code) {
  return "6\n" + std::string(bar_code) + "\n";
}
