// The main() of every test program: the environment the tests rely on, then every test.
// Set here rather than by ctest so that a test program run by hand behaves the same.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QRLOGO_SOURCE_DIR", QRLOGO_SOURCE_DIR, 0);
    setenv("QRLOGO_BIN_DIR", QRLOGO_BIN_DIR, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
