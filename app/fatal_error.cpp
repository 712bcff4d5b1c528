#include "app/fatal_error.h"

#include "platform/process.h"

namespace qrlogo {

[[noreturn]] void ReportFatalError(std::string_view description) {
    platform::SuspendEventDelivery();
    platform::DropExitRoutine();
    platform::ShowFatalErrorBox(description);
    platform::EndProcessAfterFatalError();
}

}  // namespace qrlogo
