#include "tests/support/qt_app.h"

#include <cstdlib>

#include "platform/process.h"

namespace qrlogo::test {

void StartPlatformOnce() {
    static const bool started = [] {
        static char name[] = "qrlogo-test";
        static char* argv[] = {name, nullptr};
        platform::KeepArguments(1, argv);
        return platform::StartPlatform();
    }();
    if (!started) std::abort();
}

}  // namespace qrlogo::test
