#include "members/member_list.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <utility>

template <class List, class Field, class Value>
auto MemberList::Registered_with(List& list, Field field, const Value& value)
    -> std::conditional_t<std::is_const_v<List>, const Member*, Member*> {
  for (const auto& member : list._members) {
    if (std::invoke(field, *member) == value) return member.get();
  }
  return nullptr;
}

Member& MemberList::Add(std::string name, std::string address, std::string phone_number,
                        std::string email_address, int library_number) {
  return *_members.emplace_back(std::make_unique<Member>(std::move(name), std::move(address),
                                                         std::move(phone_number),
                                                         std::move(email_address), library_number));
}

void MemberList::Remove(int library_number) {
  if (const Member* member = Find_by_number(library_number)) Remove(*member);
}

void MemberList::Remove(const Member& member) {
  std::erase_if(_members, [&member](const auto& stored) { return stored.get() == &member; });
}

const Member* MemberList::Find_by_number(int library_number) const {
  return Registered_with(*this, &Member::Library_number, library_number);
}

Member* MemberList::Find_by_number(int library_number) {
  return Registered_with(*this, &Member::Library_number, library_number);
}

const Member* MemberList::Find_by_name(const std::string& name) const {
  return Registered_with(*this, &Member::Name, name);
}

Member* MemberList::Find_by_name(const std::string& name) {
  return Registered_with(*this, &Member::Name, name);
}

bool MemberList::Contains(const Member* member) const {
  return std::ranges::any_of(_members,
                             [member](const auto& stored) { return stored.get() == member; });
}

void MemberList::List_all() const {
  if (_members.empty()) {
    std::cout << "No member in the library" << std::endl;
    return;
  }
  for (const auto& member : _members) member->Print_details();
}
