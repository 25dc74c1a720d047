#ifndef SHELVORANQUIST_BENCH_CATALOGUE_VALUES_H_
#define SHELVORANQUIST_BENCH_CATALOGUE_VALUES_H_

// The members and items of a synthetic branch library, each a pure function of its index, the
// size of the library and a seed, so that the session scripts and the benchmarks build the
// same catalogue and can name any of its entries without keeping it.

#include <cstdint>
#include <string>

namespace bench {

// splitmix64: a small generator whose sequence is the same on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : _state(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // A number in 0..bound-1; bound must be positive.
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }

 private:
  std::uint64_t _state;
};

inline std::uint64_t Mix(std::uint64_t seed, std::uint64_t index) {
  return Random(seed * 0x2545f4914f6cdd1dULL + index).Next();
}

inline std::string Padded(std::uint64_t number, std::size_t width) {
  std::string digits = std::to_string(number);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

struct MemberValues {
  std::string name;
  std::string address;
  std::string phone_number;
  std::string email_address;
  int library_number;
};

// Member `index` (0-based) has card number index + 1 and a name no other member has.
inline MemberValues Member_of(std::uint64_t index) {
  static const char* const first[] = {"Ada",   "Bram", "Cleo", "Dov",  "Edda", "Fenn",
                                      "Greta", "Hal",  "Ines", "Jory", "Kai",  "Lune",
                                      "Mara",  "Nils", "Orla", "Piet"};
  static const char* const street[] = {"Mill Lane", "Quay Street",  "Orchard Row", "Bell Yard",
                                       "High Road", "Tannery Walk", "Rope Walk",   "Cross Way"};
  return MemberValues{
      std::string(first[index % 16]) + " Reader " + std::to_string(index + 1),
      std::to_string(index % 997 + 1) + " " + street[index % 8],
      "555 " + Padded(index % 10000000, 7),
      "reader" + std::to_string(index + 1) + "@example.org",
      static_cast<int>(index + 1),
  };
}

enum class Kind { book, cd, journal, video };

// Item `index` of a library of `item_count` items: the kinds take turns, book, CD, journal,
// video. Bar codes are unique; about eight items share a title and twenty a creator, so that
// every kind has a few copies of a title and several works of a creator.
struct ItemValues {
  Kind kind;
  std::string call_number;
  std::string title;
  std::string creator;
  std::string second_text;  // play time, table of contents or rating; empty for a book
  int loan_days;            // none for a journal
};

inline Kind Kind_of(std::uint64_t index) { return static_cast<Kind>(index % 4); }

inline ItemValues Item_of(std::uint64_t index, std::uint64_t item_count, std::uint64_t seed) {
  static const char prefix[] = {'B', 'C', 'J', 'V'};
  const Kind kind = Kind_of(index);
  const std::uint64_t titles = item_count / 8 + 1;
  const std::uint64_t creators = item_count / 20 + 1;
  const std::uint64_t mixed = Mix(seed, index);
  std::string second_text;
  if (kind == Kind::cd) second_text = std::to_string(30 + mixed % 50) + " min";
  if (kind == Kind::journal) second_text = "Issue " + std::to_string(index) + " contents";
  if (kind == Kind::video) second_text = std::string(mixed % 3 == 0 ? "PG" : "12");
  return ItemValues{
      kind,
      prefix[index % 4] + Padded(index, 7),
      "Title " + std::to_string(mixed % titles),
      "Creator " + std::to_string((mixed >> 20) % creators),
      std::move(second_text),
      static_cast<int>(7 + (mixed >> 40) % 22),
  };
}

// The keystrokes that add this member from the main menu, ending back at the main menu.
inline std::string Add_member_keys(const MemberValues& member) {
  return "1\n" + member.name + "\n" + member.address + "\n" + member.phone_number + "\n" +
         member.email_address + "\n" + std::to_string(member.library_number) + "\n";
}

// The keystrokes that add this item from the "Add/Delete item" submenu, ending back at it.
inline std::string Add_item_keys(const ItemValues& item) {
  const std::string common = item.call_number + "\n" + item.title + "\n" + item.creator + "\n";
  switch (item.kind) {
    case Kind::book:
      return "1\n" + common + std::to_string(item.loan_days) + "\n";
    case Kind::cd:
      return "2\n" + common + item.second_text + "\n" + std::to_string(item.loan_days) + "\n";
    case Kind::journal:
      return "3\n" + common + item.second_text + "\n";
    case Kind::video:
      return "4\n" + common + item.second_text + "\n" + std::to_string(item.loan_days) + "\n";
  }
  return "";
}

// The online catalogue's choice for the screen of this kind (1 books, 2 CDs, 3 journals,
// 4 videos).
inline int Catalogue_choice(Kind kind) { return static_cast<int>(kind) + 1; }

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_CATALOGUE_VALUES_H_
