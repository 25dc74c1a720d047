#ifndef SHELVORANQUIST_TESTS_SUPPORT_POSTGRES_DATABASE_H_
#define SHELVORANQUIST_TESTS_SUPPORT_POSTGRES_DATABASE_H_

#include <string>

// A new, empty database `name` (at most 63 letters, digits and underscores) in the PostgreSQL
// cluster of the current test run, one of that name before dropped; returns its connection URI,
// postgresql:///NAME?host=FOLDER&port=PORT, reached through the cluster's socket. The cluster is
// the one SHELVORANQUIST_POSTGRES_CLUSTER names (the test's CMake registration sets it), else
// the build tree's postgres-cluster. Throws std::runtime_error when there is no cluster or the
// database cannot be made; the reason is on standard error.
std::string Fresh_database_uri(const std::string& name);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_POSTGRES_DATABASE_H_
