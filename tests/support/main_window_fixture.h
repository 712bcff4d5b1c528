#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include "app/main_window.h"
#include "tests/support/qt_app.h"

namespace qrlogo::test {

// A fresh main window for each test, in-process on the offscreen platform, as the program
// opens it; destroyed again after the test.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        StartPlatformOnce();
        OpenMainWindow();
        QApplication::processEvents();
    }
    void TearDown() override { CloseMainWindowForGood(); }
};

}  // namespace qrlogo::test
