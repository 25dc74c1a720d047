#ifndef SHELVORANQUIST_BENCH_STORED_DESK_H_
#define SHELVORANQUIST_BENCH_STORED_DESK_H_

#include <string>

#include "console/console_input.h"
#include "console/library.h"
#include "storage/storage.h"
#include "support/discarded_output.h"
#include "support/scripted_input.h"

namespace bench {

// A Library on a storage, driven through its console, its output sent nowhere. `storage` must
// outlive the desk; constructing it loads the records, and throws StorageError as the Library
// does.
class StoredDesk {
 public:
  explicit StoredDesk(Storage& storage) : _input(_script, -1), _library(_input, storage) {}

  // Runs the main menu over `keys` and then "14. Quit".
  void Run(const std::string& keys) {
    DiscardedOutput silenced;
    _script.Type(keys);
    _script.Type("14\n");
    _library.Main_menu();
  }

  const Library& library() const { return _library; }

 private:
  ScriptedInput _script;
  ConsoleInput _input;
  Library _library;
};

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_STORED_DESK_H_
