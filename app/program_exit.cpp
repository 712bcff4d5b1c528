#include "app/logo_path.h"
#include "app/program_main.h"

namespace qrlogo {

// Kept in a file of its own: the end-to-end tests link a build that observes this routine.
void OnProgramExit() { LogoPath = Text(); }

}  // namespace qrlogo
