#include "catalogue/video.h"

#include <iostream>
#include <utility>

Video::Video(std::string call_number, std::string title, std::string director, std::string rating,
             int loan_days)
    : Lendable("VIDEO", std::move(call_number), std::move(title), loan_days),
      _director(std::move(director)),
      _rating(std::move(rating)) {}

void Video::Print_details() const {
  std::cout << "The details of the video:  " << std::endl;
  Print();
  std::cout << "Director's  Name\t:" << _director << std::endl;
  std::cout << "The rating of the video  :" << _rating << std::endl;
}
