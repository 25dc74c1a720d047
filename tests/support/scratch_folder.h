#ifndef SHELVORANQUIST_TESTS_SUPPORT_SCRATCH_FOLDER_H_
#define SHELVORANQUIST_TESTS_SUPPORT_SCRATCH_FOLDER_H_

#include <filesystem>
#include <string>

// A new folder of its own for data files, on /dev/shm where there is one, so that the many
// commits of the tests and the fuzz targets write no disk; removed with whatever is in it when
// destroyed. A folder that cannot be made aborts the run.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return _path; }

  // Removes the data file at `path` and the files SQLite keeps beside it, where they are.
  static void Remove_data_file(const std::string& path);

 private:
  std::filesystem::path _path;
};

#endif  // SHELVORANQUIST_TESTS_SUPPORT_SCRATCH_FOLDER_H_
