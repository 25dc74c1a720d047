// The fuzz target: a whole Library on arbitrary console input, with pauses the input chooses
// (see console_session.h). A crash, a sanitizer report, a leak or inconsistent records after
// the run are all failures.

#include <cstdio>
#include <cstdlib>

#include "console_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> faults = Run_console_session(data, size);
  if (faults.empty()) return 0;
  for (const std::string& fault : faults) std::fprintf(stderr, "record fault: %s\n", fault.c_str());
  std::abort();
}
