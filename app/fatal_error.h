#pragma once

#include <string_view>

namespace qrlogo {

// Ends the program after a failure it cannot go on from: event delivery stops for good,
// the exit routine is dropped, a modal box names the failure, and once it is dismissed the
// process ends with exit code -1.
[[noreturn]] void ReportFatalError(std::string_view description);

}  // namespace qrlogo
