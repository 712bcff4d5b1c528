#pragma once

namespace qrlogo {

// The entry routine: prepares the process, opens the main window and runs the message loop
// until the window is closed. Returns 0.
int ProgramMain();

// The exit routine: releases LogoPath.
void OnProgramExit();

}  // namespace qrlogo
