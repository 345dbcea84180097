#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mc {

// getURL opens only web and mail addresses; javascript:, file: and every other scheme are
// refused, so a movie cannot run code or reach local files through the browser.
bool isOpenableUrl(std::string_view url);

// Web addresses longer than this are refused: no page needs more, and a browser handed
// megabytes of address only fails slowly.
constexpr std::size_t kMaxOpenedAddress = 4096;

// The address getURL may hand to the browser or mail program, or nullopt when refused: an
// http or https address with a host, or a mailto address that keeps only its to, subject,
// body and cc fields (a mail program would attach files an "attach" field names). At most
// kMaxOpenedAddress bytes, no control characters.
std::optional<std::string> openableAddress(std::string_view url);

// "file:///" and a file's name alone, percent-encoded, as _url reads for a movie played
// from that file: the folders around it are nobody's business.
std::string fileUrlOfName(std::string_view fileName);

// An address as a log may show it: the start of a long one, with its full length.
std::string addressForLog(std::string_view url);

// loadMovie and loadVariables read only files beside the movie: a relative path without a
// scheme, without ".." and not rooted. Returns the path to read, or empty when refused. A
// query ("?a=b") is dropped.
std::string besideMoviePath(std::string_view url);

} // namespace mc
