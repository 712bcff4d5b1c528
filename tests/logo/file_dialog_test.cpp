// The file-open dialog component driven through the real (Qt) dialog on the offscreen platform.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "logo/common_dlg.h"
#include "platform/codepage.h"
#include "tests/logo/dialog_script.h"
#include "tests/support/qt_app.h"

namespace qrlogo {
namespace {

namespace fs = std::filesystem;

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::StartPlatformOnce();
        m_startDirectory = fs::current_path();
        m_folder = fs::temp_directory_path() / ("qrlogo-dialog-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "标志");
        m_logo = m_folder / "标志" / "徽标.jpg";
        std::ofstream(m_logo) << "logo";
    }
    void TearDown() override {
        fs::current_path(m_startDirectory);
        fs::remove_all(m_folder);
    }

    fs::path m_startDirectory;
    fs::path m_folder;
    fs::path m_logo;
};

std::string CodePage(const fs::path& path) { return platform::Utf8ToCodePage(path.string()); }

TEST_F(FileDialogTest, AChoiceSetsTheFullPathAndMovesTheWorkingDirectory) {
    CommonDlg dialog;
    QString title = QStringLiteral("unset");
    test::WhenFileDialogOpens([&](QFileDialog& d) {
        title = d.windowTitle();
        EXPECT_TRUE(d.isModal());
        EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
        test::EnterPath(d, m_logo.string());
    });
    EXPECT_TRUE(ShowFileOpenDialog(dialog));
    EXPECT_FALSE(title.isEmpty()) << "the dialog's own title for an open dialog";
    // The path comes back in the code page, folder and name.
    EXPECT_EQ(dialog.FileName().View(), CodePage(m_logo));
    EXPECT_EQ(fs::current_path(), m_folder / "标志");
}

TEST_F(FileDialogTest, ACancelKeepsTheFileNameAndTheSecondOpeningPreFillsIt) {
    CommonDlg dialog;
    test::WhenFileDialogOpens([](QFileDialog& d) { test::PressEscape(d); });
    EXPECT_FALSE(ShowFileOpenDialog(dialog));
    EXPECT_TRUE(dialog.FileName().IsAbsent());
    EXPECT_EQ(fs::current_path(), m_startDirectory);

    test::WhenFileDialogOpens([&](QFileDialog& d) { test::EnterPath(d, m_logo.string()); });
    ASSERT_TRUE(ShowFileOpenDialog(dialog));

    QStringList preFilled;
    QString folder;
    test::WhenFileDialogOpens([&](QFileDialog& d) {
        preFilled = d.selectedFiles();
        folder = d.directory().absolutePath();
        test::PressEscape(d);
    });
    EXPECT_FALSE(ShowFileOpenDialog(dialog));
    EXPECT_EQ(preFilled, QStringList{QString::fromStdString(m_logo.string())});
    EXPECT_EQ(folder, QString::fromStdString((m_folder / "标志").string()));
    EXPECT_EQ(dialog.FileName().View(), CodePage(m_logo));
}

TEST_F(FileDialogTest, APathLongerThanTheNameBufferCountsAsACancel) {
    // Five folders of 50 bytes and a name: well over 259 bytes.
    fs::path deep = m_folder;
    for (int i = 0; i < 5; ++i) deep /= std::string(50, static_cast<char>('a' + i));
    fs::create_directories(deep);
    const fs::path file = deep / "logo.bmp";
    std::ofstream(file) << "logo";
    ASSERT_GT(file.string().size(), platform::kMaxDialogPathBytes);

    CommonDlg dialog;
    test::WhenFileDialogOpens([&](QFileDialog& d) { test::EnterPath(d, file.string()); });
    EXPECT_FALSE(ShowFileOpenDialog(dialog));
    EXPECT_TRUE(dialog.FileName().IsAbsent());
    EXPECT_EQ(fs::current_path(), m_startDirectory);
}

TEST_F(FileDialogTest, WithoutTheStoredFolderTheDialogStartsOnTheDesktopOrAtHome) {
    // The desktop folder is looked up under HOME; a config folder of its own could name another.
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string config = savedConfig ? savedConfig : "";
    ::unsetenv("XDG_CONFIG_HOME");
    struct Case {
        const char* name;
        bool withDesktop;
        fs::path expected;
    };
    const Case cases[] = {{"home without a desktop folder", false, m_folder},
                          {"desktop folder", true, m_folder / "Desktop"}};
    for (const Case& c : cases) {
        ::setenv("HOME", m_folder.c_str(), 1);
        if (c.withDesktop) fs::create_directories(m_folder / "Desktop");
        CommonDlg dialog;  // its stored folder is a Windows path, which does not exist here
        QString folder;
        test::WhenFileDialogOpens([&](QFileDialog& d) {
            folder = d.directory().absolutePath();
            test::PressEscape(d);
        });
        ShowFileOpenDialog(dialog);
        EXPECT_EQ(folder, QString::fromStdString(c.expected.string())) << "case: " << c.name;
    }
    ::setenv("HOME", home.c_str(), 1);
    if (savedConfig) ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}

}  // namespace
}  // namespace qrlogo
