// The fuzz target on damaged data files: each input is the bytes of a data file, which the desk
// loads and works on (see data_file_session.h). A crash, a sanitizer report, a leak, an
// assertion, an exception other than the storage's refusal, or any fault the session finds are
// all failures.

#include <cstdio>
#include <cstdlib>

#include "data_file_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> faults = Run_data_file_session(data, size);
  if (faults.empty()) return 0;
  for (const std::string& fault : faults) std::fprintf(stderr, "fault: %s\n", fault.c_str());
  std::abort();
}
