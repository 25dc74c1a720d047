// Runs kept inputs of a fuzz target through the same session as the target, outside libFuzzer,
// so that every build replays them: the first argument names the target ("console",
// "data-file" or "catalogue-web"), each further one is a file or a folder of files. Exits 1 when
// any input leaves a fault, 2 for a command line it does not understand; a crash shows as the
// program's own.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue_web_session.h"
#include "console_session.h"
#include "data_file_session.h"

namespace {

using Session = std::vector<std::string> (*)(const std::uint8_t* data, std::size_t size);

struct Target {
  std::string_view name;
  Session session;
};

constexpr Target targets[] = {
    {"console", &Run_console_session},
    {"data-file", &Run_data_file_session},
    {"catalogue-web", &Run_catalogue_web_session},
};

std::vector<std::filesystem::path> Inputs_in(const std::filesystem::path& argument) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(argument)) {
    for (const auto& entry : std::filesystem::directory_iterator(argument)) {
      const bool hidden = entry.path().filename().string().starts_with('.');
      if (entry.is_regular_file() and not hidden) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
  } else {
    inputs.push_back(argument);
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  const auto target =
      std::find_if(std::begin(targets), std::end(targets),
                   [&](const Target& candidate) { return argc > 1 and candidate.name == argv[1]; });
  if (target == std::end(targets)) {
    std::cerr << "usage: fuzz_replay console|data-file|catalogue-web INPUT...\n";
    return 2;
  }
  int replayed = 0;
  int failed = 0;
  for (int argument = 2; argument < argc; ++argument) {
    for (const std::filesystem::path& path : Inputs_in(argv[argument])) {
      std::ifstream file(path, std::ios::binary);
      if (not file) {
        std::cerr << "cannot read " << path << '\n';
        return 2;
      }
      std::ostringstream contents;
      contents << file.rdbuf();
      const std::string bytes = contents.str();
      const std::vector<std::string> faults =
          target->session(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
      if (faults.empty()) continue;
      ++failed;
      for (const std::string& fault : faults) std::cerr << path << ": " << fault << '\n';
    }
  }
  std::cout << replayed - failed << " passed, " << failed << " failed" << std::endl;
  return failed == 0 ? 0 : 1;
}
