// Writes a whole day at the circulation desk as console input, one answer per line: N members
// are registered, N items of the four kinds are catalogued, then M transactions follow (each a
// main-menu choice: selections, borrows, returns, holds, cancelled holds, catalogue searches,
// details and the overdue report), and the run ends with "14. Quit". The same arguments always
// give the same script.
//
//   shelvoranquist_session_script N M [SEED] > session.input

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue_values.h"

namespace {

// Items of one state (on loan, on hold), with the member each belongs to; any one of them can
// be drawn at random and taken out in constant time.
class ItemSet {
 public:
  bool Contains(std::uint64_t item) const { return _position.count(item) != 0; }
  bool Empty() const { return _items.empty(); }
  std::uint64_t Member_of(std::uint64_t item) const { return _members[_position.at(item)]; }

  void Insert(std::uint64_t item, std::uint64_t member) {
    _position[item] = _items.size();
    _items.push_back(item);
    _members.push_back(member);
  }
  void Erase(std::uint64_t item) {
    const std::size_t at = _position.at(item);
    _items[at] = _items.back();
    _members[at] = _members.back();
    _position[_items[at]] = at;
    _items.pop_back();
    _members.pop_back();
    _position.erase(item);
  }
  std::uint64_t Draw(bench::Random& random) const { return _items[random.Below(_items.size())]; }

 private:
  std::vector<std::uint64_t> _items;
  std::vector<std::uint64_t> _members;
  std::unordered_map<std::uint64_t, std::size_t> _position;
};

// What the desk would do with the transactions, as far as the script needs to know: which items
// are on loan and on hold and for whom. Nothing falls due during a session that the real clock
// drives (every loan is at least a week), so no member is ever refused for an overdue loan.
class Session {
 public:
  Session(std::uint64_t size, std::uint64_t seed) : _size(size), _seed(seed), _random(seed) {}

  void Write_setup(std::ostream& out) const {
    for (std::uint64_t member = 0; member < _size; ++member) {
      out << bench::Add_member_keys(bench::Member_of(member));
    }
    out << "5\n";
    for (std::uint64_t item = 0; item < _size; ++item) {
      out << bench::Add_item_keys(bench::Item_of(item, _size, _seed));
    }
    out << "6\n";
  }

  // Writes transactions until `count` main-menu choices have been written.
  void Write_transactions(std::ostream& out, std::uint64_t count) {
    std::uint64_t written = 0;
    while (written < count) written += Write_scene(out);
  }

 private:
  // One short piece of work at the desk; returns the number of main-menu choices it took.
  std::uint64_t Write_scene(std::ostream& out) {
    const std::uint64_t roll = _random.Below(100);
    if (roll < 25) return Borrow(out);
    if (roll < 40) return Return(out);
    if (roll < 48) return Hold(out);
    if (roll < 53) return Cancel_hold(out);
    if (roll < 73) return Catalogue_search(out);
    if (roll < 78) {
      out << "2\n2\n" << bench::Member_of(Any_member()).name << "\n";
      return 1;
    }
    if (roll < 83) {
      out << "2\n3\n" << bench::Member_of(Any_member()).library_number << "\n";
      return 1;
    }
    if (roll < 88) {
      out << "4\n";
      return 1;
    }
    if (roll < 93) {
      out << "11\n";
      return 1;
    }
    out << "13\n";
    return 1;
  }

  std::uint64_t Borrow(std::ostream& out) {
    const std::uint64_t member = Any_member();
    const std::uint64_t item = Any_lendable();
    Select(out, member, item);
    out << "7\n";
    const bool held_for_another = _holds.Contains(item) and _holds.Member_of(item) != member;
    if (not _loans.Contains(item) and not held_for_another) {
      _loans.Insert(item, member);
      if (_holds.Contains(item)) _holds.Erase(item);
    }
    return 3;
  }

  std::uint64_t Return(std::ostream& out) {
    if (_loans.Empty()) return Borrow(out);
    const std::uint64_t item = _loans.Draw(_random);
    Select(out, _loans.Member_of(item), item);
    out << "8\n";
    _loans.Erase(item);
    return 3;
  }

  std::uint64_t Hold(std::ostream& out) {
    const std::uint64_t member = Any_member();
    const std::uint64_t item = Any_lendable();
    Select(out, member, item);
    out << "9\n";
    if (not _holds.Contains(item)) _holds.Insert(item, member);
    return 3;
  }

  std::uint64_t Cancel_hold(std::ostream& out) {
    if (_holds.Empty()) return Hold(out);
    const std::uint64_t item = _holds.Draw(_random);
    Select(out, _holds.Member_of(item), item);
    out << "10\n";
    _holds.Erase(item);
    return 3;
  }

  // A catalogue screen of a random kind, by bar code, title or creator of an item of that kind
  // (so the search finds something), declining the offer to hold.
  std::uint64_t Catalogue_search(std::ostream& out) {
    const std::uint64_t item = Any_item();
    const bench::ItemValues values = bench::Item_of(item, _size, _seed);
    out << "12\n" << bench::Catalogue_choice(values.kind) << "\n";
    const std::uint64_t by = _random.Below(3);
    if (by == 0) out << "1\n" << values.call_number << "\n";
    if (by == 1) out << "2\n" << values.title << "\n";
    if (by == 2) out << "3\n" << values.creator << "\n";
    if (values.kind != bench::Kind::journal) out << "n\n";
    return 1;
  }

  void Select(std::ostream& out, std::uint64_t member, std::uint64_t item) const {
    out << "2\n1\n" << bench::Member_of(member).library_number << "\n";
    out << "6\n" << bench::Item_of(item, _size, _seed).call_number << "\n";
  }

  std::uint64_t Any_member() { return _random.Below(_size); }
  std::uint64_t Any_item() { return _random.Below(_size); }
  std::uint64_t Any_lendable() {
    for (;;) {
      const std::uint64_t item = Any_item();
      if (bench::Kind_of(item) != bench::Kind::journal) return item;
    }
  }

  std::uint64_t _size;
  std::uint64_t _seed;
  bench::Random _random;
  ItemSet _loans;
  ItemSet _holds;
};

std::uint64_t Argument(char* text) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text or *end != '\0') {
    std::cerr << "not a number: " << text << "\n";
    std::exit(2);
  }
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 or argc > 4) {
    std::cerr << "usage: " << argv[0] << " MEMBERS_AND_ITEMS TRANSACTIONS [SEED]\n";
    return 2;
  }
  const std::uint64_t size = Argument(argv[1]);
  const std::uint64_t transactions = Argument(argv[2]);
  const std::uint64_t seed = argc == 4 ? Argument(argv[3]) : 1;
  if (size < 4) {
    std::cerr << "a session needs at least 4 members and items\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  Session session(size, seed);
  session.Write_setup(std::cout);
  session.Write_transactions(std::cout, transactions);
  std::cout << "14\n";
  return std::cout.good() ? 0 : 1;
}
