#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cardtool {

// A wrong command line: cardtool prints the message and the usage and exits with 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The command line of one command: positional words, "--name value" options and "--flag"s.
class Arguments {
  public:
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& options,
              const std::set<std::string>& flags);

    const std::string& positional(std::size_t index, const char* what) const;
    void expectPositionals(std::size_t count) const;
    std::optional<std::string> option(const std::string& name) const;
    bool flag(const std::string& name) const { return flags_.count(name) != 0; }

  private:
    std::vector<std::string> positionals_;
    std::map<std::string, std::string> options_;
    std::set<std::string> flags_;
};

} // namespace cardtool
