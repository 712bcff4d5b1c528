#include "app/program_main.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    qrlogo::platform::KeepArguments(argc, argv);
    return qrlogo::platform::EndProcess(qrlogo::ProgramMain());
}
