#include "support/postgres_database.h"

#include <gmock/gmock.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

// What psql prints for `sql` on the database at `uri`, one row a line, the columns between '|'.
std::string Psql(const std::string& uri, const std::string& sql) {
  const std::string command = "psql -XAtq -v ON_ERROR_STOP=1 -d '" + uri + "' -c '" + sql + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::string printed;
  std::array<char, 256> block{};
  while (pipe != nullptr && std::fgets(block.data(), block.size(), pipe) != nullptr) {
    printed += block.data();
  }
  if (pipe == nullptr || pclose(pipe) != 0) printed += "(psql failed)";
  return printed;
}

TEST(PostgresDatabaseTest, IsANewEmptyDatabaseEvenWhenItsNameWasUsedBefore) {
  const std::string first = Fresh_database_uri("fresh_database_test");
  EXPECT_EQ(Psql(first, "CREATE TABLE members (name text); SELECT current_database()"),
            "fresh_database_test\n");
  const std::string again = Fresh_database_uri("fresh_database_test");
  EXPECT_EQ(again, first);
  EXPECT_EQ(Psql(again, "SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()"),
            "0\n");
}

}  // namespace
