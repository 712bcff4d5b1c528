#include "platform/process.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/fetch_url_body.h"


namespace qrlogo::platform {
namespace {

int s_argc = 0;
char** s_argv = nullptr;
// Made once and deleted only by EndProcess: deleting it from a static destructor would run
// after the toolkit's own statics are gone.
QApplication* s_application = nullptr;
void (*s_exitRoutine)() = nullptr;
bool s_deliverySuspended = false;
bool s_quitRequested = false;
int s_quitCode = 0;
QEventLoop* s_mainLoop = nullptr;

// The folder of the program file, from the kernel's link to it.
std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

}  // namespace

void KeepArguments(int argc, char** argv) {
    s_argc = argc;
    s_argv = argv;
}

bool StartPlatform() {
    const auto folder = ProgramFolder();
    if (folder.empty() || chdir(folder.c_str()) != 0) return false;
    if (!QApplication::instance()) {
        static char name[] = "qrlogo";
        static char* fallback[] = {name, nullptr};
        if (s_argv == nullptr) {
            s_argc = 1;
            s_argv = fallback;
        }
        s_application = new QApplication(s_argc, s_argv);
    }
    // The program decides when the loop ends: closing the window asks for the quit, and a
    // handler waiting inside the second of its capture finishes its wait first.
    QApplication::setQuitOnLastWindowClosed(false);
    return true;
}

void RegisterExitRoutine(void (*routine)()) { s_exitRoutine = routine; }
void DropExitRoutine() { s_exitRoutine = nullptr; }

void SuspendEventDelivery() { s_deliverySuspended = true; }
void ResumeEventDelivery() { s_deliverySuspended = false; }
bool IsEventDeliverySuspended() { return s_deliverySuspended; }

void RunMessageLoop() {
    if (s_quitRequested) return;
    QEventLoop loop;
    s_mainLoop = &loop;
    loop.exec();
    s_mainLoop = nullptr;
}

void RequestQuit(int code) {
    s_quitRequested = true;
    s_quitCode = code;
    // Ends the main loop only, and only once the event being handled has returned to it:
    // a nested wait inside that event keeps running to its end.
    if (s_mainLoop != nullptr) s_mainLoop->exit(code);
}

bool IsQuitRequested() { return s_quitRequested; }

void ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void WaitProcessingEvents(int milliseconds) {
    if (milliseconds <= 0) return;
    const std::uint32_t start = TickCount();
    const auto limit = static_cast<std::uint32_t>(milliseconds);
    // The wake-up timer ends each blocking wait for events at the moment the time is up.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, [] {});
    for (;;) {
        ProcessPendingEvents();
        const std::uint32_t elapsed = TickCount() - start;  // modulo 2^32: wrap-round is harmless
        if (elapsed > limit) return;
        wake.start(static_cast<int>(limit - elapsed + 1));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void ShowFatalErrorBox(std::string_view description) {
    const std::string message = "运行时错误 (run-time error): " + std::string(description);
    std::fprintf(stderr, "qrlogo: %s\n", message.c_str());
    if (!QApplication::instance()) return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("qrlogo"), QString::fromStdString(message),
                    QMessageBox::Ok);
    box.exec();
}

[[noreturn]] void EndProcessAfterFatalError() {
    std::fflush(nullptr);
    std::_Exit(-1);
}

int EndProcess(int code) {
    SuspendEventDelivery();
    if (auto routine = s_exitRoutine) {
        s_exitRoutine = nullptr;
        routine();
    }
    CloseHttpClient();
    delete s_application;
    s_application = nullptr;
    return s_quitRequested ? s_quitCode : code;
}

}  // namespace qrlogo::platform
