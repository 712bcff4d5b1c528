#pragma once

#include "app/text.h"
#include "platform/file_dialog.h"

namespace qrlogo {

// 通用对话框1, the file-open dialog component: never shown itself, it keeps the settings that
// configure the dialog each time it is opened, and carries the last chosen full path in its
// file-name setting from one opening to the next.
class CommonDlg {
public:
    // The layout's settings: an open dialog without title or filter (every file is listed), an
    // empty file name, the initial directory "C:\Documents and Settings\Administrator\桌面",
    // no default extension, the file must exist, the working directory is not restored.
    CommonDlg();

    const platform::FileDialogSettings& Settings() const { return m_settings; }
    // The file-name setting as a new text, absent when it is empty.
    Text FileName() const;
    void SetFileName(const Text& fileName);

private:
    platform::FileDialogSettings m_settings;
};

// Opens the dialog with the component's settings and waits until it is closed. True when a
// file was chosen: its full path is then the file-name setting. False after a cancel, a close
// or a failure of the dialog; the file-name setting is then unchanged.
bool ShowFileOpenDialog(CommonDlg& dialog);

}  // namespace qrlogo
