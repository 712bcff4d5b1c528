#pragma once

// For platform code only: the toolkit objects behind the program's windows.

#include <cstdint>

class QWidget;

namespace qrlogo::platform {

// The main window's widget, for parenting dialogs; null when there is none.
QWidget* MainWindowWidget();

// Puts a widget into the window registry and returns its handle.
std::uintptr_t RegisterWindow(QWidget* widget);
void SetMainWindowWidget(QWidget* widget, const bool* closedFlag);

}  // namespace qrlogo::platform
