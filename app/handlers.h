#pragma once

namespace qrlogo {

// The click handlers the main window binds; each runs to completion on the GUI thread.
void OnMainWindowCreated();
void OnAddLogoClicked();    // 按钮1: choose the logo
void OnGenerateClicked();   // 按钮2: fetch, show and save the QR code

}  // namespace qrlogo
