#include "console/heading.h"

#include <iostream>
#include <string>

void Write_heading(std::string_view heading, int underline) {
  std::cout << heading << std::endl;
  std::cout << std::string(static_cast<std::size_t>(underline), '=') << std::endl;
}
