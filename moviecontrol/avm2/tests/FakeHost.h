#pragma once
// A host that keeps what the machine traces, with a clock the test sets.

#include "avm2/Host.h"
#include "avm2/LoadHost.h"
#include "avm2/Machine.h"

#include <map>
#include <span>
#include <string>
#include <vector>

namespace avm2test {

class FakeHost final : public avm2::Host, public avm2::LoadHost {
  public:
    std::vector<std::string> lines;
    std::vector<std::string> limits;
    double clock = 0;

    void trace(std::string_view line) override { lines.emplace_back(line); }
    double clockMs() override { return clock; }
    void limitHit(std::string_view what) override { limits.emplace_back(what); }
    std::string movieAddress;
    std::string movieUrl() override { return movieAddress; }
    // The files beside the movie, by the address a script gives.
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> files;
    std::optional<std::vector<std::uint8_t>> readBesideMovie(std::string_view url) override {
        const auto it = files.find(url);
        return it != files.end() ? std::optional(it->second) : std::nullopt;
    }

    std::string text() const {
        std::string all;
        for (const std::string& l : lines) {
            all += l;
            all += '\n';
        }
        return all;
    }
};

// Loads one block into a fresh machine and returns what it traced.
inline std::string runAbc(const std::vector<std::uint8_t>& bytes, avm2::Limits limits = {}) {
    FakeHost host;
    avm2::Machine vm(host, limits);
    vm.beginFrame();
    vm.loadAbc(std::span<const std::uint8_t>(bytes), false);
    return host.text();
}

} // namespace avm2test
