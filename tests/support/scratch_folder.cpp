#include "support/scratch_folder.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

ScratchFolder::ScratchFolder() {
  const std::filesystem::path parent = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
  std::string path = (parent / "shelvoranquist-XXXXXX").string();
  if (mkdtemp(path.data()) == nullptr) {
    std::perror("cannot make a scratch folder");
    std::abort();
  }
  _path = path;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(_path, ignored);
}

void ScratchFolder::Remove_data_file(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    std::error_code ignored;
    std::filesystem::remove(path + suffix, ignored);
  }
}
