#pragma once

#include <cstdint>
#include <string_view>

namespace qrlogo::platform {

// Process start and end, the exit routine, event delivery and the message loop.

// main() hands its arguments over first; the toolkit needs them. The program reads none.
void KeepArguments(int argc, char** argv);

// Sets the working directory to the folder that holds the program file and starts the
// toolkit. False when that cannot be done.
bool StartPlatform();

// At most one routine, called once at the normal end by EndProcess.
void RegisterExitRoutine(void (*routine)());
void DropExitRoutine();

// Events are not delivered to the program's handlers while delivery is suspended.
void SuspendEventDelivery();
void ResumeEventDelivery();
bool IsEventDeliverySuspended();

// Handles the GUI thread's events until the quit request.
void RunMessageLoop();
// Asks the message loop to end with `code` once the handler now running has returned; a
// waiting handler (WaitProcessingEvents) keeps waiting to its end first.
void RequestQuit(int code);
bool IsQuitRequested();

// Handles every event that is waiting now, as the message loop does; a quit request stays
// for the message loop.
void ProcessPendingEvents();
// Handles events for more than `milliseconds` (nothing for 0 or less). Blocks on the event
// queue while nothing is waiting instead of spinning; handlers may nest inside it.
void WaitProcessingEvents(int milliseconds);
// Milliseconds from a fixed point, wrapping round at 2^32.
std::uint32_t TickCount();

// A modal box with no owner and one OK button, saying that a run-time error occurred and
// naming the failure. Returns when the box is dismissed.
void ShowFatalErrorBox(std::string_view description);
// Ends the process with exit code -1 at once; the exit routine does not run.
[[noreturn]] void EndProcessAfterFatalError();

// The normal end: suspends event delivery, calls the exit routine once, releases the
// toolkit and returns the exit code for main() to return.
int EndProcess(int code);

}  // namespace qrlogo::platform
