#include "app/program_main.h"

#include "app/fatal_error.h"
#include "app/logo_path.h"
#include "app/main_window.h"
#include "platform/process.h"

namespace qrlogo {

Text LogoPath;

int ProgramMain() {
    if (!platform::StartPlatform()) ReportFatalError("the platform could not be started");
    platform::RegisterExitRoutine(OnProgramExit);
    OpenMainWindow();
    platform::RunMessageLoop();
    CloseMainWindowForGood();
    return 0;
}

}  // namespace qrlogo
