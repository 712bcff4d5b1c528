// The program as shipped, except that its exit routine also appends a line to the file named
// by QRLOGO_EXIT_MARKER, so that tests see from outside how often it ran. The link wraps the
// routine (-Wl,--wrap), leaving the program's own code untouched.
#include <cstdio>
#include <cstdlib>

extern "C" void __real__ZN6qrlogo13OnProgramExitEv();

extern "C" void __wrap__ZN6qrlogo13OnProgramExitEv() {
    if (const char* marker = std::getenv("QRLOGO_EXIT_MARKER")) {
        if (FILE* file = std::fopen(marker, "a")) {
            std::fputs("OnProgramExit\n", file);
            std::fclose(file);
        }
    }
    __real__ZN6qrlogo13OnProgramExitEv();
}
