#pragma once

#include "cardformat/FileIO.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cardformat::testing {

// A fresh folder per test, removed afterwards; the error log is pointed into it.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string logText() const; // the log's content decoded to UTF-8, "" when none
    const std::string& dir() const { return dir_; }

  private:
    std::string dir_;
};

void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);
Bytes bytesOf(std::string_view text);
std::uint32_t permissionBits(const std::string& path);

// A small uncompressed movie: the 550 x 400, 12 fps, one-frame, white header, a
// background-colour tag, a show-frame tag and an end tag; its declared length is its length
// plus `declaredExtra`.
Bytes smallMovie(std::int32_t declaredExtra = 0);

// An uncompressed movie as a compressed one: zlib ("CWS") or LZMA ("ZWS") after its header.
Bytes zlibMovie(const Bytes& fws);
Bytes lzmaMovie(const Bytes& fws);

// A movie of `version` whose first frame holds `tags` (code and body each) before its
// show-frame tag; the 550 x 400 rectangle of smallMovie.
Bytes movieWithTags(const std::vector<std::pair<std::uint16_t, Bytes>>& tags,
                    std::uint8_t version = 10);

} // namespace cardformat::testing
