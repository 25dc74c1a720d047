#ifndef SHELVORANQUIST_FUZZ_DATA_FILE_SESSION_H_
#define SHELVORANQUIST_FUZZ_DATA_FILE_SESSION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Opens `data`, the bytes of a data file, as the desk's SqliteStorage and loads a whole Library
// from it; when the load succeeds, runs some desk work on the loaded records, then loads the
// file again. Returns what is wrong, one line per fault; empty when nothing is. Shared by the
// fuzz target and the replay of kept inputs.
//
// A StorageError from opening or loading is the storage refusing the file, and no fault, if the
// file still holds the input's bytes and nothing is left beside it: no upgrade and no log of the
// desk. What Record_faults (tests/support/records_check.h) finds in the loaded desk, or once the
// work is done, is a fault; so is a desk loaded again that differs in any record, member or
// item from the desk that did the work, that cannot be loaded at all, or that upgrades the file
// again (the first load upgrades a file of an older data version). A change the file cannot
// keep ends the work with a StorageError, as it ends a run; it is kept nowhere, so the file is
// loaded again all the same. Whatever else goes wrong (an assertion, another exception) ends the
// process.
//
// The work, typed at the main menu: the overdue list and the blank member's details; for the
// first book, CD and video whose bar code and title can be typed, its details and catalogue
// search by title, the return and the cancelled hold of whatever loan and hold it carries, a
// new loan and a new hold; the video for the blank member, the book and the CD for the first
// registered member when there is one; a journal search by title; the overdue list again.
//
// The bytes are written to a fresh file in a folder of the process's own, on /dev/shm where
// there is one; the file and SQLite's files beside it are removed before the call returns. The
// clock stands at 10:30 am on Tuesday 8 December 2026, in the same time zone as the console
// sessions'. Standard output is discarded meanwhile.
std::vector<std::string> Run_data_file_session(const std::uint8_t* data, std::size_t size);

#endif  // SHELVORANQUIST_FUZZ_DATA_FILE_SESSION_H_
