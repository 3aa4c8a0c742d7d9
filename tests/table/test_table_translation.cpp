// The table's Lua text, byte for byte, in the C locale and in a locale whose
// decimal point is a comma.

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <string>

#include "table/TableTranslation.h"

using table::TableRow;
using table::TableRows;

namespace {

std::string lua(const TableRow& row) { return table::translateRow(row).toStdString(); }

class TableTranslation : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr) << "locale " << GetParam() << " missing";
        QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()).section('.', 0, 0)));
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }
};

TEST_P(TableTranslation, TheFiveKindsOfRowGiveTheirCallsInRowOrder) {
    const TableRows rows = {{"A", "Hit", "100"},
                            {"MouseLeft", "Press", "20"},
                            {"Mouse Position", "100   200", "0"},
                            {"Scroll Down", "1", "100"},
                            {"None", "", "500"}};
    EXPECT_EQ(table::buildTableScript(rows).toStdString(),
              "HitKey(\"A\",50,50.000000)\n"
              "PressMouseButton(\"MouseLeft\")\n"
              "MilliSleep(20)\n"
              "SetMousePosition(100,200)\n"
              "MouseWheel((-1)*1)\n"
              "MilliSleep(100)\n"
              "MilliSleep(500)\n");
}

TEST_P(TableTranslation, HitDelaySplitsIntoHoldAndWaitAt100Milliseconds) {
    const struct {
        const char* delay;
        const char* timing;
    } cases[] = {
        {"60", "30.000000,30.000000"}, {"99", "49.500000,49.500000"}, {"100", "50,50.000000"},
        {"1000", "50,950.000000"},     {"0", "0.000000,0.000000"},    {"0.5", "0.250000,0.250000"},
        {"2.5e3", "50,2450.000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        EXPECT_EQ(lua({"A", "Hit", c.delay}), std::string("HitKey(\"A\",") + c.timing + ")\n");
        EXPECT_EQ(lua({"MouseX2", "Hit", c.delay}),
                  std::string("HitMouseButton(\"MouseX2\",") + c.timing + ")\n");
    }
}

TEST_P(TableTranslation, HitWithoutUsableDelayLeavesTimingToTheFunction) {
    EXPECT_EQ(lua({"A", "Hit", "soon"}), "HitKey(\"A\")\n");
    EXPECT_EQ(lua({"MouseLeft", "Hit", ""}), "HitMouseButton(\"MouseLeft\")\n");
}

TEST_P(TableTranslation, OnlyNonHitRowsWithPositiveDelayWait) {
    EXPECT_EQ(lua({"A", "Press", "20"}), "PressKey(\"A\")\nMilliSleep(20)\n");
    EXPECT_EQ(lua({"A", "Release", "0.5"}), "ReleaseKey(\"A\")\nMilliSleep(0.5)\n");
    EXPECT_EQ(lua({"MouseRight", "Release", "0"}), "ReleaseMouseButton(\"MouseRight\")\n");
    EXPECT_EQ(lua({"A", "Press", "-5"}), "PressKey(\"A\")\n");
    EXPECT_EQ(lua({"A", "Press", "x"}), "PressKey(\"A\")\n");
    EXPECT_EQ(lua({"None", "Hit", "500"}), "");
    EXPECT_EQ(lua({"", "", "7"}), "MilliSleep(7)\n");
}

TEST_P(TableTranslation, PointerAndWheelRowsCopyTheirWords) {
    EXPECT_EQ(lua({"Mouse Delta Pos", "  -10   20  30", "0"}), "ChangeMousePosition(-10,20)\n");
    EXPECT_EQ(lua({"Mouse Position", "5", "0"}), "SetMousePosition(5,)\n");
    EXPECT_EQ(lua({"Scroll Up", "0.33", "0"}), "MouseWheel(0.33)\n");
    EXPECT_EQ(lua({"Scroll Up", "lots", "0"}), "MouseWheel(lots)\n");
    EXPECT_EQ(lua({"Scroll Down", "1e2", "0"}), "MouseWheel((-1)*1e2)\n");
    EXPECT_EQ(lua({"Scroll Down", "lots", "40"}), "MilliSleep(40)\n");
}

TEST_P(TableTranslation, BackslashKeyIsEscapedInsideTheLuaString) {
    EXPECT_EQ(lua({"\\", "Press", "0"}), "PressKey(\"\\\\\")\n");
    EXPECT_EQ(lua({"\\", "Hit", "100"}), "HitKey(\"\\\\\",50,50.000000)\n");
}

TEST_P(TableTranslation, AnyOtherActionIsCalledWithTheBareKey) {
    EXPECT_EQ(lua({"A", "Log", "0"}), "Log(A)\n");
    EXPECT_EQ(lua({"MouseLeft", "hit", "10"}), "hit(MouseLeft)\nMilliSleep(10)\n");
}

TEST_P(TableTranslation, ScriptFileHasTwoCommentLinesThenTheRows) {
    QTemporaryDir dir;
    const QString path = dir.filePath("table.lua");
    ASSERT_TRUE(table::writeTableScript(path, {{"A", "Press", "20"}}).written);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "--This is the lua script created from the Table.\n"
              "--If you want to learn what functions are available check out ReadMe.txt.\n"
              "PressKey(\"A\")\nMilliSleep(20)\n");
    EXPECT_EQ(table::buildTableScript({}), QByteArray());
    EXPECT_EQ(table::tableScriptFile({}), QByteArray(table::TableScriptHeader));
}

INSTANTIATE_TEST_SUITE_P(Locales, TableTranslation, testing::Values("C", "de_DE.UTF-8"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param[0] == 'C' ? "C" : "German");
                         });

}  // namespace
