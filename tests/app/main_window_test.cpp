// The main window in-process on the offscreen platform: layout, stacking, caption, focus
// and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "app/handlers.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "logo/pic_box.h"
#include "platform/process.h"
#include "platform/qt_window.h"
#include "platform/widgets.h"
#include "tests/support/main_window_fixture.h"

namespace qrlogo {
namespace {

class MainWindowTest : public test::MainWindowFixture {
protected:
    static QWidget* Component(const char* name) {
        return platform::MainWindowWidget()->findChild<QWidget*>(QString::fromUtf8(name));
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
};

TEST_F(MainWindowTest, ComponentsStandWhereTheLayoutPutsThem) {
    struct Case {
        const char* name;
        QRect geometry;
        bool visible;
    } cases[] = {
        {"按钮1", {208, 128, 152, 32}, true},   {"图片框1", {64, 96, 72, 32}, false},
        {"标签2", {208, 0, 80, 24}, true},      {"动画框1", {0, 8, 208, 200}, true},
        {"按钮2", {208, 176, 152, 32}, true},   {"编辑框1", {208, 24, 160, 88}, true},
    };
    for (const auto& c : cases) {
        QWidget* widget = Component(c.name);
        ASSERT_NE(widget, nullptr) << "case: " << c.name;
        EXPECT_EQ(widget->geometry(), c.geometry) << "case: " << c.name;
        EXPECT_EQ(widget->isVisible(), c.visible) << "case: " << c.name;
    }
    EXPECT_EQ(qobject_cast<QPushButton*>(Component("按钮1"))->text(), QStringLiteral("添加LOGO"));
    EXPECT_EQ(qobject_cast<QPushButton*>(Component("按钮2"))->text(),
              QStringLiteral("生成并保存二维码"));
}

TEST_F(MainWindowTest, WindowIsCentredWithItsOuterSizeAndCaption) {
    QWidget* window = platform::MainWindowWidget();
    EXPECT_EQ(window->frameGeometry().size(), QSize(380, 250));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->frameGeometry().topLeft(),
              QPoint((screen.width() - 380) / 2, (screen.height() - 250) / 2));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("二维码制作工具 BY Dorvo"));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the frame is fixed";
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, SiblingsStackInLayoutOrder) {
    // children() lists siblings from the bottom of the stack to the top.
    QStringList order;
    for (QObject* child : platform::MainWindowWidget()->children()) {
        if (child->isWidgetType()) order.prepend(child->objectName());
    }
    EXPECT_EQ(order, QStringList({"按钮1", "图片框1", "标签2", "动画框1", "按钮2", "编辑框1"}));
}

TEST_F(MainWindowTest, TabCyclesFromTheEditBoxAndBack) {
    EXPECT_EQ(Focused(), Component("编辑框1"));
    for (const char* next : {"按钮2", "动画框1", "按钮1", "编辑框1"}) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), Component(next)) << "Tab to " << next;
    }
    for (const char* previous : {"按钮1", "动画框1", "按钮2", "编辑框1"}) {
        QTest::keyClick(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Focused(), Component(previous)) << "Shift+Tab to " << previous;
    }
}

TEST_F(MainWindowTest, EnterBreaksLinesInTheEditBoxOnlyAndSpacePressesButtons) {
    int clicks = 0;
    MainWindow().ButtonAt(k按钮1).SetClickedHandler([&] { ++clicks; });
    QTest::keyClicks(Component("编辑框1"), "ab");
    QTest::keyClick(Component("编辑框1"), Qt::Key_Return);
    QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
    QApplication::sendEvent(Component("编辑框1"), &chinese);
    EXPECT_EQ(编辑框1().Content(), "ab\r\n\xD6\xD0");

    Component("按钮1")->setFocus();
    QTest::keyClick(Component("按钮1"), Qt::Key_Return);
    QTest::keyClick(Component("按钮1"), Qt::Key_Enter);
    EXPECT_EQ(clicks, 0) << "Enter presses no button";
    QTest::keyClick(Component("按钮1"), Qt::Key_Space);
    EXPECT_EQ(clicks, 1) << "the space bar presses the focused button";
}

TEST_F(MainWindowTest, EscClosesTheWindowFromTheEditBox) {
    int clicks = 0;
    MainWindow().ButtonAt(k按钮2).SetClickedHandler([&] { ++clicks; });
    QTest::keyClicks(Component("编辑框1"), "typing");
    QTest::keyClick(Component("编辑框1"), Qt::Key_Escape);
    EXPECT_FALSE(MainWindowExists());
    EXPECT_TRUE(platform::IsQuitRequested());
    EXPECT_FALSE(platform::MainWindowWidget()->isVisible());
    // A click still queued when the window closed reaches no handler.
    qobject_cast<QPushButton*>(Component("按钮2"))->click();
    EXPECT_EQ(clicks, 0);
}

TEST_F(MainWindowTest, ThePictureBoxStaysHiddenUntilShown) {
    EXPECT_FALSE(图片框1().IsVisible());
    EXPECT_FALSE(Component("图片框1")->isVisible());
}

}  // namespace
}  // namespace qrlogo
