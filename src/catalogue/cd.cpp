#include "catalogue/cd.h"

#include <iostream>
#include <utility>

Cd::Cd(std::string call_number, std::string title, std::string artist, std::string play_time,
       int loan_days)
    : Lendable("CD", std::move(call_number), std::move(title), loan_days),
      _artist(std::move(artist)),
      _play_time(std::move(play_time)) {}

void Cd::Print_details() const {
  std::cout << "The details of the CD:  " << std::endl;
  Print();
  std::cout << "Artist's Name\t:" << _artist << std::endl;
  std::cout << "Play Time\t:" << _play_time << std::endl;
}
