#include "TextCodec.h"

#include "Failure.h"

#include <cerrno>
#include <iconv.h>

namespace cardformat {
namespace {

// One conversion direction; the descriptor is closed with the object.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): (iconv_t)-1 is iconv_open's failure value
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throwSystemError(errno, "iconv_open");
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; each undecodable input byte is skipped and `replacement`
    // written in its place, so the conversion always finishes.
    std::string convert(std::string_view input, std::string_view replacement) const {
        std::string out;
        out.reserve(input.size() * 2 + 8);
        char buffer[4096];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut off at the end): drop one byte and go on.
            out.append(replacement);
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        return out;
    }

  private:
    iconv_t cd_;
};

const Converter& encoder() {
    thread_local const Converter c("GB18030", "UTF-8");
    return c;
}

const Converter& decoder() {
    thread_local const Converter c("UTF-8", "GB18030");
    return c;
}

} // namespace

std::string toAnsi(std::string_view utf8) {
    return encoder().convert(utf8, "?");
}

std::string fromAnsi(std::string_view ansi) {
    return decoder().convert(ansi, "\xEF\xBF\xBD");
}

std::string toEncoding(std::string_view utf8, const std::string& encoding) {
    if (encoding == "UTF-8" || encoding == "utf-8" || encoding == "UTF8") {
        return std::string(utf8);
    }
    // Characters the encoding lacks become the nearest it has, or "?".
    const Converter converter((encoding + "//TRANSLIT").c_str(), "UTF-8");
    return converter.convert(utf8, "?");
}

std::size_t ansiLength(std::string_view utf8) {
    return toAnsi(utf8).size();
}

} // namespace cardformat
