// The fatal error report, in a child process: the box names the failure, dismissing it ends
// the process with exit code -1, and the exit routine does not run.
#include "app/fatal_error.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/memory.h"
#include "platform/process.h"
#include "tests/support/qt_app.h"

namespace qrlogo {
namespace {

std::filesystem::path RoutineMarker() {
    return std::filesystem::temp_directory_path() / ("qrlogo-exit-routine-" + std::to_string(getpid()));
}

const std::filesystem::path& Marker() {
    static const std::filesystem::path marker = RoutineMarker();
    return marker;
}

void MarkExitRoutine() { std::fclose(std::fopen(Marker().c_str(), "w")); }

// Dismisses the error box once it is up, after saying on stderr what it showed.
void DismissTheBoxWhenShown() {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "box said: %s\n", box->text().toStdString().c_str());
            box->accept();
        }
    });
    poll->start(20);
}

void FailFatally(void (*failure)()) {
    test::StartPlatformOnce();
    platform::RegisterExitRoutine(MarkExitRoutine);
    DismissTheBoxWhenShown();
    failure();
}

TEST(ReportFatalErrorDeathTest, ShowsTheFailureAndEndsWithMinusOne) {
    const std::string marker = Marker();
    EXPECT_EXIT(FailFatally([] { ReportFatalError("the window could not be created"); }),
                ::testing::ExitedWithCode(255), "box said: .*the window could not be created");
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the exit routine ran";
}

TEST(ReportFatalErrorDeathTest, AnAllocationTheHeapCannotSupplyIsFatal) {
    EXPECT_EXIT(FailFatally([] { AllocateMemory(static_cast<std::size_t>(1) << 62); }),
                ::testing::ExitedWithCode(255), "box said: .*4611686018427387904 bytes");
}

}  // namespace
}  // namespace qrlogo
