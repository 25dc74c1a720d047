#ifndef SHELVORANQUIST_CATALOGUE_VIDEO_H_
#define SHELVORANQUIST_CATALOGUE_VIDEO_H_

#include <string>

#include "catalogue/lendable.h"

class Video : public Lendable {
 public:
  Video() : Lendable("VIDEO") {}
  // The rating is free text, kept as typed.
  Video(std::string call_number, std::string title, std::string director, std::string rating,
        int loan_days);

  const std::string& Director() const { return _director; }
  const std::string& Rating() const { return _rating; }

  Video Fresh_copy() const {
    return Video(Call_number(), Title(), _director, _rating, Loan_days());
  }

  // "The details of the video:  ", the title and call number lines, "Director's  Name\t:"
  // director, "The rating of the video  :" rating.
  void Print_details() const;

 private:
  std::string _director;
  std::string _rating;
};

#endif  // SHELVORANQUIST_CATALOGUE_VIDEO_H_
