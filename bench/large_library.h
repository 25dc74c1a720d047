#ifndef SHELVORANQUIST_BENCH_LARGE_LIBRARY_H_
#define SHELVORANQUIST_BENCH_LARGE_LIBRARY_H_

// The large library that the storage benchmarks keep: 100,000 items (a quarter of each kind),
// 10,000 members and 10,000 loans, one to each member, of the first books, CDs and videos, all
// made through the console at the test clock; and the cycles of changes whose commits they time.

#include <chrono>
#include <cstdint>
#include <string>

#include "console/library.h"
#include "storage/storage.h"

namespace bench {

inline constexpr std::uint64_t large_item_count = 100000;
inline constexpr std::uint64_t large_member_count = 10000;
inline constexpr std::uint64_t large_loan_count = 10000;
inline constexpr std::uint64_t large_library_seed = 1;

// Makes the large library through a whole Library on `storage`, which must hold no records:
// each change kept on its own, as a desk keeps it.
void Build_large_library(Storage& storage);

// Throws std::runtime_error, naming `where`, unless `library` holds the whole large library.
void Check_large_library(const Library& library, const std::string& where);

// The card number of member `member` (0-based) as typed.
std::string Card_of(std::uint64_t member);

// Runs `cycles` cycles of changes through the console on `storage`, which holds the large library:
// a member and a book added, the book lent to the member, returned, held, the hold cancelled, the
// book removed, the member deleted. Before each change, and before each flush of the floor, it
// waits a random time below `longest_pause`. After each cycle it times the disk's flush floor
// (FlushFloor) in a file at `floor_path`. Prints the median, 90th and 99th percentile and the
// slowest time the storage took to keep each kind of change, and the floor's. Throws
// std::runtime_error when a cycle did not make every change. Each cycle adds and removes what it
// uses, so every call may start from the large library as built.
void Measure_commits(Storage& storage, const std::string& floor_path, std::uint64_t cycles,
                     std::chrono::microseconds longest_pause);

}  // namespace bench

#endif  // SHELVORANQUIST_BENCH_LARGE_LIBRARY_H_
