#include "logo/common_dlg.h"

namespace qrlogo {
namespace {

// "C:\Documents and Settings\Administrator\桌面" in the code page: 桌面 is D7 C0 C3 E6.
constexpr char kInitialDirectory[] = "C:\\Documents and Settings\\Administrator\\\xD7\xC0\xC3\xE6";

}  // namespace

CommonDlg::CommonDlg() {
    m_settings.initialDirectory = kInitialDirectory;
    m_settings.fileMustExist = true;
    m_settings.restoreWorkingDirectory = false;
}

Text CommonDlg::FileName() const {
    return m_settings.fileName.empty() ? Text() : Text::FromBytes(m_settings.fileName);
}

void CommonDlg::SetFileName(const Text& fileName) { m_settings.fileName = fileName.View(); }

bool ShowFileOpenDialog(CommonDlg& dialog) {
    const std::optional<std::string> chosen = platform::ShowFileOpenDialog(dialog.Settings());
    if (!chosen) return false;
    dialog.SetFileName(Text::FromBytes(*chosen));
    return true;
}

}  // namespace qrlogo
