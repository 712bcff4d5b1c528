#pragma once

namespace qrlogo::test {

// Starts the platform (toolkit included) once for an in-process GUI test program, as the
// program's entry routine does. Safe to call from every test.
void StartPlatformOnce();

}  // namespace qrlogo::test
