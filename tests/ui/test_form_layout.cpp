// The window laid out on a real X server: the group boxes in their three
// rows, the table beside the log. Set QP_FORM_SCREENSHOT to keep a picture.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTest>

#include "ui/InputTable.h"
#include "platform/fake/FakePlatform.h"
#include "ui/MainWindow.h"

namespace {

TEST(FormLayout, GroupBoxesSitInThreeRowsWithTheLogBesideTheTable) {
    platform::FakePlatform platform;
    MainWindow window(platform);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto box = [&](const char* name) {
        const QGroupBox* found = window.findChild<QGroupBox*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found ? QRect(found->mapTo(&window, QPoint(0, 0)), found->size()) : QRect();
    };
    const QRect execute = box("ExecuteGroupBox"), scripting = box("groupBox_2");
    const QRect input = box("InputInfoGroupBox"), recording = box("RecordingGroupBox");
    const QRect tableBox = box("TableGroupBox"), logging = box("LoggingGroupBox");

    EXPECT_EQ(execute.size(), QSize(540, 90));
    EXPECT_EQ(input.size(), QSize(540, 145));
    EXPECT_EQ(scripting.size(), QSize(385, 90));
    EXPECT_EQ(tableBox.width(), 540);
    EXPECT_LT(execute.right(), scripting.left());
    EXPECT_LE(execute.bottom(), input.top());
    EXPECT_LT(input.right(), recording.left());
    EXPECT_LE(input.bottom(), tableBox.top());
    EXPECT_LT(tableBox.right(), logging.left());
    EXPECT_EQ(tableBox.top(), logging.top());
    const QRect central = window.centralWidget()->geometry();
    EXPECT_GE(tableBox.bottom(), central.bottom() - 10);  // the last row takes the remaining height
    EXPECT_GE(logging.right(), central.right() - 10);

    const QWidget* log = window.findChild<QPlainTextEdit*>("LuaLog");
    const QRect logRect(log->mapTo(&window, QPoint(0, 0)), log->size());
    EXPECT_TRUE(logging.contains(logRect));
    EXPECT_GT(logRect.height(), 200);
    const QWidget* table = window.findChild<InputTable*>("Table");
    EXPECT_TRUE(tableBox.contains(QRect(table->mapTo(&window, QPoint(0, 0)), table->size())));

    if (const QByteArray path = qgetenv("QP_FORM_SCREENSHOT"); !path.isEmpty()) {
        EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(path), "PNG"));
    }
}

}  // namespace
