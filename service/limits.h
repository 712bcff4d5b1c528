#pragma once

#include <cstddef>
#include <string_view>

// Every limit of the rendering service in one place.
namespace qrlogo::service {

// Loopback only unless told otherwise, so a user's text never leaves the machine.
inline constexpr std::string_view kDefaultListenAddress = "127.0.0.1:48151";

// Picture side in pixels. 21 is the smallest code (21 modules) at one pixel per module and no
// quiet zone; 2000 keeps one picture under half a megabyte of raw rows.
inline constexpr int kDefaultWidth = 200;
inline constexpr int kMinWidth = 21;
inline constexpr int kMaxWidth = 2000;

// Quiet zone in modules.
inline constexpr int kDefaultMargin = 2;
inline constexpr int kMaxMargin = 10;

// The most any QR code holds is 7089 digits; a longer text cannot fit, so it is refused before
// any conversion or encoding work is spent on it.
inline constexpr std::size_t kMaxTextBytes = 7089;

// A request target (path and query) holds at most that text percent-encoded plus the other
// parameters; longer targets are refused with 414.
inline constexpr std::size_t kMaxTargetBytes = 3 * kMaxTextBytes + 1024;

// Per-connection memory for the request line and headers. A request line beyond it gets 414 and
// oversized headers 431, both from the HTTP library before any of our code runs.
inline constexpr std::size_t kConnectionMemoryBytes = 32 * 1024;

// Enough for a thousand idle keep-alive clients and a busy benchmark at once, even when the
// workers, which share the limit out between them, accept unevenly. Together with the
// per-connection memory this bounds what clients can make the service hold (128 MiB at most).
inline constexpr unsigned kMaxConnections = 4096;

// A connection that sends nothing for this long is closed, so a client that never finishes its
// request holds its slot only this long.
inline constexpr unsigned kIdleTimeoutSeconds = 10;

// Recently rendered pictures kept for repeated requests: a few thousand of the tool's size,
// little enough that a busy day does not show in the service's memory.
inline constexpr std::size_t kRenderCacheBytes = 4 * 1024 * 1024;

// Worker threads: one per core, within these bounds.
inline constexpr unsigned kMinThreads = 1;
inline constexpr unsigned kMaxThreads = 64;

// Pending connections the kernel queues before the workers accept them.
inline constexpr unsigned kListenBacklog = 1024;

}  // namespace qrlogo::service
