// Any bytes as the query of a picture request: parsing and checking must neither crash nor let
// a value outside its range through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/limits.h"
#include "service/parameters.h"
#include "service/query.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qrlogo::service;
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    const Outcome<Query> parsed = ParseQuery(query);
    const auto* parameters = std::get_if<Query>(&parsed);
    if (!parameters) return 0;
    for (const auto& [name, value] : *parameters) {
        if (name.empty() || name.size() > size || value.size() > size) std::abort();
    }
    const Outcome<RenderParameters> read = ReadRenderParameters(*parameters);
    if (const auto* checked = std::get_if<RenderParameters>(&read)) {
        if (checked->width < kMinWidth || checked->width > kMaxWidth) std::abort();
        if (checked->margin < 0 || checked->margin > kMaxMargin) std::abort();
        // UTF-8 from GB18030 is at most half as long again as its source.
        if (checked->data.size() > kMaxTextBytes + kMaxTextBytes / 2) std::abort();
    }
    return 0;
}
