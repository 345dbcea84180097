#include "SwfHeader.h"

#include "ErrorLog.h"
#include "MovieBody.h"
#include "Platform.h"

#include <cstring>

namespace cardformat {

std::string Dec2Bin(int value) {
    if (value < 0 || value > 255) {
        ErrorLog::record("Dec2Bin",
                         {failure_code::Overflow, describeFailure(failure_code::Overflow)});
        return "0";
    }
    std::string text;
    while (value > 0) {
        text.insert(text.begin(), static_cast<char>('0' + (value & 1)));
        value >>= 1;
    }
    text.insert(0, 8 - text.size(), '0');
    return text;
}

std::int32_t Bin2Dec(std::string_view digits) {
    std::int64_t result = 0;
    for (const char c : digits) {
        if (c != '0' && c != '1') {
            ErrorLog::record("Bin2Dec", {failure_code::TypeMismatch,
                                         describeFailure(failure_code::TypeMismatch)});
            return -1;
        }
        result = result * 2 + (c - '0');
        if (result > INT32_MAX) {
            ErrorLog::record("Bin2Dec",
                             {failure_code::Overflow, describeFailure(failure_code::Overflow)});
            return -1;
        }
    }
    return static_cast<std::int32_t>(result);
}

namespace {

// The rectangle is read as 21 bytes from offset 8 however wide it is; it never needs more
// than 17. The header must reach the last background colour byte at 8 + R + 8.
constexpr std::uint64_t RectOffset = 8;
constexpr std::uint64_t RectReadLength = 21;

template <typename View> FlashHeader readHeader(const View& movie) {
    FlashHeader header;
    const Bytes signature = movie.readUpTo(0, 3);
    if (signature.size() != 3 || std::memcmp(signature.data(), "FWS", 3) != 0) {
        header.Status = header_status::NotFlash;
        return header;
    }
    const Bytes fixed = movie.read(3, 5);
    Bytes rect = movie.readUpTo(RectOffset, RectReadLength);
    rect.resize(RectReadLength, 0);

    const std::int32_t nbits = Bin2Dec(Dec2Bin(rect[0]).substr(0, 5));
    const std::uint64_t r = static_cast<std::uint64_t>(4 * nbits + 5) / 8 + 1;
    const Bytes tail = movie.read(RectOffset + r, 9);

    std::string bits;
    for (std::uint64_t i = 0; i < r; ++i) {
        bits += Dec2Bin(rect[i]);
    }
    const auto field = [&](std::int32_t position) {
        return Bin2Dec(std::string_view(bits).substr(static_cast<std::size_t>(position - 1),
                                                     static_cast<std::size_t>(nbits)));
    };
    const std::int32_t xmax = field(nbits + 6);
    const std::int32_t ymax = field(3 * nbits + 6);

    header.MovieVersion = fixed[0];
    header.FileLength = readInt32LE(&fixed[1]);
    header.Width = xmax / 20;
    header.Height = ymax / 20;
    header.FrameRate = tail[1];
    header.FrameCount = static_cast<std::int16_t>(tail[2] | tail[3] << 8);
    header.BackRed = tail[6];
    header.BackGreen = tail[7];
    header.BackBlue = tail[8];
    header.Status = header_status::Read;
    return header;
}

} // namespace

FlashHeader getFlashHeaderAt(const std::string& path, std::uint64_t offset) {
    if (!fileExists(path)) {
        FlashHeader missing;
        missing.Status = header_status::Missing;
        return missing;
    }
    try {
        const InputFile file(path);
        return readHeader(FileView(file, offset));
    } catch (const std::exception& error) {
        logException("getFlashHeader", error);
        FlashHeader failed;
        failed.Status = header_status::Failed;
        return failed;
    }
}

FlashHeader getFlashHeader(const std::string& path) {
    return getFlashHeaderAt(path, 0);
}

namespace {

// Far more than a header and the first frame's control tags of any real movie; the
// background-colour tag comes among them.
constexpr std::uint64_t PlayedHeaderBytes = std::uint64_t{1} << 20;

} // namespace

PlayedHeader getPlayedHeader(const std::string& path) {
    PlayedHeader played;
    if (!fileExists(path)) {
        played.header.Status = header_status::Missing;
        return played;
    }
    try {
        const InputFile file(path);
        const Bytes start = file.readUpTo(0, PlayedHeaderBytes);
        const MovieStorage storage = storageOf(start);
        if (storage == MovieStorage::Uncompressed || storage == MovieStorage::NotAMovie) {
            // What is no compressed movie reads as the classic reader reads it.
            played.header = readHeader(BytesView(start));
            played.background = firstFrameBackground(start);
            return played;
        }
        const Bytes prefix = moviePrefix(start, PlayedHeaderBytes);
        if (prefix.size() <= RectOffset) {
            // Compressed in name only: nothing inflates.
            played.header.Status = header_status::NotFlash;
            return played;
        }
        played.header = readHeader(BytesView(prefix));
        played.background = firstFrameBackground(prefix);
    } catch (const std::exception& error) {
        logException("getFlashHeader", error);
        played.header = FlashHeader{};
        played.header.Status = header_status::Failed;
    }
    return played;
}

} // namespace cardformat
