#pragma once

#include <cstddef>

namespace qrlogo {

// Takes n bytes from the process heap. Never fails: when the heap cannot supply them the
// program ends through ReportFatalError, so no caller tests the result.
void* AllocateMemory(std::size_t n);

// Releases a block from AllocateMemory; an absent block (nullptr) is ignored.
void ReleaseMemory(void* block);

// Owner of one block, for the unique_ptr members of Text and ByteSet.
struct MemoryReleaser {
    void operator()(void* block) const { ReleaseMemory(block); }
};

}  // namespace qrlogo
