#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace qrlogo::platform {
namespace {

// Converts with iconv; a sequence the source code page cannot read becomes `replacement`
// and conversion goes on after its first byte.
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    std::string out;
    out.reserve(input.size() * 2);
    char buffer[1024];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (result != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): replace one byte and go on.
        out.append(replacement);
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string CodePageToUtf8(std::string_view codePageBytes) {
    return Convert("UTF-8", "GB18030", codePageBytes, "\xEF\xBF\xBD");
}

std::string Utf8ToCodePage(std::string_view utf8) { return Convert("GB18030", "UTF-8", utf8, "?"); }

}  // namespace qrlogo::platform
