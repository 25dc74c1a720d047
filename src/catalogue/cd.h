#ifndef SHELVORANQUIST_CATALOGUE_CD_H_
#define SHELVORANQUIST_CATALOGUE_CD_H_

#include <string>

#include "catalogue/lendable.h"

class Cd : public Lendable {
 public:
  Cd() : Lendable("CD") {}
  // The play time is free text, kept as typed.
  Cd(std::string call_number, std::string title, std::string artist, std::string play_time,
     int loan_days);

  const std::string& Artist() const { return _artist; }
  const std::string& Play_time() const { return _play_time; }

  Cd Fresh_copy() const { return Cd(Call_number(), Title(), _artist, _play_time, Loan_days()); }

  // "The details of the CD:  ", the title and call number lines, "Artist's Name\t:" artist,
  // "Play Time\t:" play time.
  void Print_details() const;

 private:
  std::string _artist;
  std::string _play_time;
};

#endif  // SHELVORANQUIST_CATALOGUE_CD_H_
