#include "platform/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/codepage.h"
#include "platform/qt_window.h"

namespace qrlogo::platform {
namespace {

QString FromCodePage(std::string_view bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}

// The folder the dialog starts in when no pre-filled path names one: the stored initial
// directory when it exists, else the user's desktop, else home.
QString StartFolder(const FileDialogSettings& settings) {
    const QString initial = FromCodePage(settings.initialDirectory);
    if (!initial.isEmpty() && QFileInfo(initial).isDir()) return initial;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir()) return desktop;
    return QDir::homePath();
}

}  // namespace

std::optional<std::string> ShowFileOpenDialog(const FileDialogSettings& settings) {
    QWidget* owner = MainWindowWidget();
    if (owner == nullptr) owner = QApplication::activeWindow();

    // Qt's own dialog rather than the desktop's, so it behaves alike on every desktop and
    // without one (a virtual or offscreen display).
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(settings.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!settings.title.empty()) dialog.setWindowTitle(FromCodePage(settings.title));
    if (!settings.defaultExtension.empty()) {
        dialog.setDefaultSuffix(FromCodePage(settings.defaultExtension));
    }
    dialog.setDirectory(StartFolder(settings));
    // Only as much of the last name as the name buffer holds is pre-filled; a full path whose
    // folder is still there opens the dialog in that folder with the file selected.
    const QString preFilled =
        FromCodePage(std::string_view(settings.fileName).substr(0, kMaxDialogPathBytes));
    if (!preFilled.isEmpty()) {
        const QFileInfo file(preFilled);
        if (file.isRelative() || file.absoluteDir().exists()) dialog.selectFile(preFilled);
    }

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    const QFileInfo file(chosen.front());
    std::string path = Utf8ToCodePage(file.absoluteFilePath().toStdString());
    if (path.size() > kMaxDialogPathBytes) return std::nullopt;
    if (!settings.restoreWorkingDirectory) QDir::setCurrent(file.absolutePath());
    return path;
}

}  // namespace qrlogo::platform
