#ifndef SHELVORANQUIST_TESTS_SUPPORT_POSTGRES_DATABASE_H_
#define SHELVORANQUIST_TESTS_SUPPORT_POSTGRES_DATABASE_H_

#include <optional>
#include <string>

// A new, empty database `name` (at most 63 letters, digits and underscores) in the PostgreSQL
// cluster of the current test run, one of that name before dropped; returns its connection URI,
// postgresql:///NAME?host=FOLDER&port=PORT, reached through the cluster's socket. The cluster is
// the one SHELVORANQUIST_POSTGRES_CLUSTER names (the test's CMake registration sets it), else
// the build tree's postgres-cluster. Throws std::runtime_error when there is no cluster or the
// database cannot be made; the reason is on standard error.
std::string Fresh_database_uri(const std::string& name);

// The URI of the database of `place`, a path in a scratch folder that no other test shares: a
// fresh database, named for the folder, at the first call for `place`, the same one after.
std::string Database_at(const std::string& place);

// Runs `sql` through psql on the database `uri`, stopping at the first statement that fails;
// returns what psql printed (rows unaligned, without headings), or none when a statement failed.
std::optional<std::string> Psql(const std::string& uri, const std::string& sql);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_POSTGRES_DATABASE_H_
