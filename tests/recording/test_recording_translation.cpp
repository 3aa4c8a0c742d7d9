// Recording records to a replay script, line for line.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "input/KeyNames.h"
#include "recording/RecordingTranslation.h"
#include "tests/support/QtPrinters.h"

namespace {

const QString Header =
    "--This is the lua script created through recording.\n"
    "--If you want to learn what functions are available check out ReadMe.txt.\n"
    "local startTime = os.clock()\n"
    "local function waitUntil(seconds)\n"
    "local left = seconds - (os.clock() - startTime)\n"
    "if left > 0 then MilliSleep(left * 1000) end\n"
    "end\n";

QString wait(const char* seconds) { return QStringLiteral("waitUntil(%1)\n").arg(QLatin1String(seconds)); }

class RecordingTranslation : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
};

TEST_F(RecordingTranslation, AnEmptyRecordingIsTheHeaderAlone) {
    EXPECT_EQ(recordingToScript(""), Header);
}

TEST_F(RecordingTranslation, EveryRecordKindBecomesItsLine) {
    struct Row {
        const char* record;
        const char* time;
        const char* line;
    };
    const Row rows[] = {
        {"1534,256,65:", "1.534", "PressKey(\"A\")"},
        {"1610,257,65:", "1.61", "ReleaseKey(\"A\")"},
        {"5,260,164:", "0.005", "PressKey(\"LAlt\")"},
        {"5,261,18:", "0.005", "ReleaseKey(\"Alt\")"},
        {"7,256,220:", "0.007", "PressKey(\"\\\\\")"},
        {"7,257,220:", "0.007", "ReleaseKey(\"\\\\\")"},
        {"9,256,255:", "0.009", "PressKeyVK(255)"},
        {"9,257,7:", "0.009", "ReleaseKeyVK(7)"},
        {"10,513,1:", "0.01", "PressMouseButton(\"MouseLeft\")"},
        {"11,514,1:", "0.011", "ReleaseMouseButton(\"MouseLeft\")"},
        {"12,516,2:", "0.012", "PressMouseButton(\"MouseRight\")"},
        {"12,517,2:", "0.012", "ReleaseMouseButton(\"MouseRight\")"},
        {"13,519,4:", "0.013", "PressMouseButton(\"MouseMiddle\")"},
        {"13,520,4:", "0.013", "ReleaseMouseButton(\"MouseMiddle\")"},
        {"14,523,5:", "0.014", "PressMouseButton(\"MouseX1\")"},
        {"14,524,6:", "0.014", "ReleaseMouseButton(\"MouseX2\")"},
        {"0,512,640,480:", "0", "SetMousePosition(640,480)"},
        {"16,255,3,-1:", "0.016", "ChangeMousePosition(3,-1)"},
        {"20,522,120:", "0.02", "MouseWheel(1)"},
        {"20,522,65416:", "0.02", "MouseWheel(-1)"},
        {"20,522,240:", "0.02", "MouseWheel(2)"},
        {"20,522,65296:", "0.02", "MouseWheel(-2)"},
        {"20,522,60:", "0.02", "MouseWheel(0.5)"},
        {"1.23457e+06,256,65:", "1234.57", "PressKey(\"A\")"},
        {"1234567,256,65:", "1234.57", "PressKey(\"A\")"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.record);
        // A lone press also gets its release at the end; that is checked below.
        EXPECT_TRUE(recordingToScript(QLatin1String(row.record))
                        .startsWith(Header + wait(row.time) + QLatin1String(row.line) + "\n"));
    }
}

TEST_F(RecordingTranslation, UnknownMessagesKeepTheirWaitAndShortPiecesAreSkipped) {
    EXPECT_EQ(recordingToScript("30,999,1:"), Header + wait("0.03"));
    EXPECT_EQ(recordingToScript("::1:"), Header);
}

TEST_F(RecordingTranslation, RecordsFollowInBufferOrder) {
    EXPECT_EQ(recordingToScript("0,512,1,2:16,255,3,-1:110,256,65:120,257,65:"),
              Header + wait("0") + "SetMousePosition(1,2)\n" + wait("0.016") +
                  "ChangeMousePosition(3,-1)\n" + wait("0.11") + "PressKey(\"A\")\n" + wait("0.12") +
                  "ReleaseKey(\"A\")\n");
}

TEST_F(RecordingTranslation, WhatIsStillHeldAtTheEndIsReleasedLastPressedFirst) {
    EXPECT_EQ(recordingToScript("1,256,162:2,256,65:3,513,1:4,257,65:5,256,162:6,256,220:7,523,5:"),
              Header + wait("0.001") + "PressKey(\"LControl\")\n" + wait("0.002") + "PressKey(\"A\")\n" +
                  wait("0.003") + "PressMouseButton(\"MouseLeft\")\n" + wait("0.004") + "ReleaseKey(\"A\")\n" +
                  wait("0.005") + "PressKey(\"LControl\")\n" + wait("0.006") + "PressKey(\"\\\\\")\n" +
                  wait("0.007") + "PressMouseButton(\"MouseX1\")\n" +
                  "--Release what was still held when the recording stopped.\n"
                  "ReleaseMouseButton(\"MouseX1\")\nReleaseKey(\"\\\\\")\n"
                  "ReleaseMouseButton(\"MouseLeft\")\nReleaseKey(\"LControl\")\n");
}

TEST_F(RecordingTranslation, WritesTheScriptFileAndReportsWhenItCannot) {
    QTemporaryDir dir;
    const QString path = dir.filePath("recording.lua");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older and much longer script that must be replaced entirely\n");
    old.close();
    ASSERT_TRUE(writeRecordingScript(path, "1534,256,65:"));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), recordingToScript("1534,256,65:"));
    EXPECT_FALSE(writeRecordingScript(dir.filePath("missing/folder/x.lua"), ""));
}

}  // namespace
