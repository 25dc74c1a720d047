#ifndef SHELVORANQUIST_MEMBERS_MEMBER_LIST_H_
#define SHELVORANQUIST_MEMBERS_MEMBER_LIST_H_

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "members/member.h"

// The member register, in the order members were added. Each member lives in a heap object of
// its own, so a reference to a registered member stays valid, and keeps designating that
// member, until that member itself is removed. Card numbers and names need not be unique.
class MemberList {
 public:
  // Appends a new member with no loans and no holds and returns it. Nothing is checked.
  Member& Add(std::string name, std::string address, std::string phone_number,
              std::string email_address, int library_number);

  // Removes the first member with this card number, if any.
  void Remove(int library_number);
  // Removes exactly this member, if it is registered here.
  void Remove(const Member& member);

  // The first member with this card number, or with exactly this name, or none. The non-const
  // forms are for the callers that change what they find.
  const Member* Find_by_number(int library_number) const;
  Member* Find_by_number(int library_number);
  const Member* Find_by_name(const std::string& name) const;
  Member* Find_by_name(const std::string& name);
  // Whether `member` is one of the registered members (none is not).
  bool Contains(const Member* member) const;

  int Count() const { return static_cast<int>(_members.size()); }
  const Member& At(int position) const { return *_members.at(static_cast<std::size_t>(position)); }

  // Writes every member's details, or "No member in the library" when there is none.
  void List_all() const;

 private:
  // The first member of `list` whose `field` reads `value`, or none; the member found is as
  // const as `list`. The lookup of both forms of every Find_by_ function.
  template <class List, class Field, class Value>
  static auto Registered_with(List& list, Field field, const Value& value)
      -> std::conditional_t<std::is_const_v<List>, const Member*, Member*>;

  std::vector<std::unique_ptr<Member>> _members;
};

#endif  // SHELVORANQUIST_MEMBERS_MEMBER_LIST_H_
