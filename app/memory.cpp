#include "app/memory.h"

#include <cstdlib>
#include <string>

#include "app/fatal_error.h"

namespace qrlogo {

void* AllocateMemory(std::size_t n) {
    // malloc(0) may give nullptr; every block is at least one byte so absent stays distinct.
    void* block = std::malloc(n == 0 ? 1 : n);
    if (block == nullptr) {
        ReportFatalError("out of memory: a block of " + std::to_string(n) + " bytes");
    }
    return block;
}

void ReleaseMemory(void* block) { std::free(block); }

}  // namespace qrlogo
