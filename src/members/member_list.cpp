#include "members/member_list.h"

#include <algorithm>
#include <iostream>
#include <utility>

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

Member* MemberList::Registered_with(int library_number) const {
  for (const auto& member : _members) {
    if (member->Library_number() == library_number) return member.get();
  }
  return nullptr;
}

Member* MemberList::Registered_with(const std::string& name) const {
  for (const auto& member : _members) {
    if (member->Name() == name) return member.get();
  }
  return nullptr;
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
