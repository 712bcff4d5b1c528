#pragma once

namespace qrlogo {

// The second half of a generate click: lets the window paint for one second while handling
// every event, then copies what the QR display area shows and saves it under a name made
// from the clock plus ".jpg" in the working directory.
// Nothing is saved when the run's new picture object got no picture (the copy would show an
// older code, or a bare background, under a fresh name), nor when the main window was closed
// during the run: that is a normal end of the program. A snapshot that could not be made
// writes no file either, rather than an empty ".jpg".
void CaptureAndSave(bool newObjectHasPicture);

}  // namespace qrlogo
