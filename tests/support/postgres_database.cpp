#include "support/postgres_database.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace {

// The URI that postgres_cluster.py createdb prints on its standard output.
std::string Created_database(const std::string& cluster, const std::string& name) {
  std::vector<std::string> arguments = {
      SHELVORANQUIST_PYTHON3, SHELVORANQUIST_POSTGRES_CLUSTER_SCRIPT, "createdb", cluster, name};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  std::string printed;
  if (spawned == 0) {
    char block[512];
    ssize_t count = 0;
    while ((count = read(output[0], block, sizeof block)) > 0 || (count < 0 && errno == EINTR)) {
      if (count > 0) printed.append(block, static_cast<std::size_t>(count));
    }
  }
  close(output[0]);
  if (spawned != 0) {
    throw std::runtime_error(std::string("cannot run ") + argv[0] + ": " + std::strerror(spawned));
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || printed.empty()) {
    throw std::runtime_error("cannot make the database " + name + " in the cluster " + cluster +
                             " (postgres_cluster.py said why on standard error)");
  }
  printed.pop_back();  // its line end
  return printed;
}

}  // namespace

std::string Fresh_database_uri(const std::string& name) {
  const char* cluster = std::getenv("SHELVORANQUIST_POSTGRES_CLUSTER");
  return Created_database(cluster != nullptr ? cluster : SHELVORANQUIST_POSTGRES_CLUSTER, name);
}

std::string Database_at(const std::string& place) {
  static std::map<std::string, std::string> databases;
  auto found = databases.find(place);
  if (found == databases.end()) {
    std::string name = "contract_";
    for (const char c : std::filesystem::path(place).parent_path().filename().string()) {
      if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
    }
    found = databases.emplace(place, Fresh_database_uri(name.substr(0, 63))).first;
  }
  return found->second;
}

std::optional<std::string> Psql(const std::string& uri, const std::string& sql) {
  const auto shell_word = [](const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  };
  const std::string command = "psql -X -q -A -t -v ON_ERROR_STOP=1 " + shell_word(uri) + " -c " +
                              shell_word(sql) + " 2>/dev/null";
  FILE* const pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run psql");
  std::string printed;
  char block[512];
  while (const std::size_t count = std::fread(block, 1, sizeof block, pipe)) {
    printed.append(block, count);
  }
  if (pclose(pipe) != 0) return std::nullopt;
  return printed;
}
