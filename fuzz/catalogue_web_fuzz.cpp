// The fuzz target: one request of arbitrary method, address and query, answered by the public
// catalogue's pages over records of arbitrary texts (see catalogue_web_session.h). A crash, a
// sanitizer report, a leak or a fault in the answer are all failures.

#include <cstdio>
#include <cstdlib>

#include "catalogue_web_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> faults = Run_catalogue_web_session(data, size);
  if (faults.empty()) return 0;
  for (const std::string& fault : faults) std::fprintf(stderr, "page fault: %s\n", fault.c_str());
  std::abort();
}
