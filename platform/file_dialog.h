#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace qrlogo::platform {

// What configures the file-open dialog; texts are code-page bytes.
struct FileDialogSettings {
    std::string title;             // empty: the dialog's own title
    std::string fileName;          // pre-filled; a full path opens the dialog in its folder
    std::string initialDirectory;  // used when it exists
    std::string defaultExtension;  // appended to a typed name without one; empty: nothing
    bool fileMustExist = true;
    bool restoreWorkingDirectory = false;
};

// The longest path the dialog hands back, in bytes: its name buffer holds 260 with the NUL.
constexpr std::size_t kMaxDialogPathBytes = 259;

// Shows the modal file-open dialog over the main window, centred on it, listing every file and
// taking one, and waits until it is closed. Returns the chosen file's full path; none when the
// user cancelled or closed it, or when the path is longer than kMaxDialogPathBytes. Unless told
// to restore it, a choice moves the working directory to the chosen file's folder.
std::optional<std::string> ShowFileOpenDialog(const FileDialogSettings& settings);

}  // namespace qrlogo::platform
