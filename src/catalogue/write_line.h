#ifndef SHELVORANQUIST_CATALOGUE_WRITE_LINE_H_
#define SHELVORANQUIST_CATALOGUE_WRITE_LINE_H_

#include <iostream>

// Writes `text` and a line end to standard output. The text tables of the collections and the
// screens name none (nullptr) where a kind writes nothing, and none writes nothing here.
inline void Write_line(const char* text) {
  if (text != nullptr) std::cout << text << std::endl;
}

#endif  // SHELVORANQUIST_CATALOGUE_WRITE_LINE_H_
