#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace cardformat {

// A failure as the error log records it: a numeric code and its description. Code 0 with an
// empty description stands for "no failure pending" (a declined write is logged that way).
struct Failure {
    std::int32_t number = 0;
    std::string description;
};

// Failure codes, numbered as the original runtime numbered them so that old logs and new logs
// read alike.
namespace failure_code {
inline constexpr std::int32_t InvalidArgument = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceIo = 57;
inline constexpr std::int32_t DiskFull = 61;
inline constexpr std::int32_t PastEndOfFile = 62;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t PathNotFound = 76;
} // namespace failure_code

// The description text that belongs to a failure code (UTF-8).
std::string describeFailure(std::int32_t number);

// Thrown inside the card format procedures; each public procedure catches it, logs it and
// returns its failure value. Exe2Swf lets it reach its caller.
class CardError : public std::runtime_error {
  public:
    CardError(std::int32_t number, const std::string& context);
    std::int32_t number() const { return number_; }
    Failure failure() const { return {number_, describeFailure(number_)}; }

  private:
    std::int32_t number_;
};

// A CardError for a failed system call, from errno.
[[noreturn]] void throwSystemError(int errnoValue, const std::string& context);

} // namespace cardformat
