// Which cells of a row the validity check calls valid, invalid or leaves alone.

#include <gtest/gtest.h>

#include "input/KeyNames.h"
#include "table/RowValidity.h"

using table::CellVerdict;

namespace {

constexpr CellVerdict Keep = CellVerdict::Keep;
constexpr CellVerdict Ok = CellVerdict::Valid;
constexpr CellVerdict Bad = CellVerdict::Invalid;

struct Case {
    table::TableRow row;
    CellVerdict key, input, delay;
};

void expectVerdicts(const Case& c) {
    SCOPED_TRACE((c.row.key + "|" + c.row.input + "|" + c.row.delay).toStdString());
    const table::RowVerdict v = table::checkRow(c.row);
    EXPECT_EQ(v.key, c.key);
    EXPECT_EQ(v.input, c.input);
    EXPECT_EQ(v.delay, c.delay);
}

class RowValidity : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
};

TEST_F(RowValidity, KeyAndButtonRowsNeedAKnownNameAndAnAction) {
    for (const Case& c : std::initializer_list<Case>{
             {{"A", "Hit", "100"}, Ok, Ok, Ok},
             {{"MouseMiddle", "Release", "0"}, Ok, Ok, Ok},
             {{"Enter", "Press", "1"}, Ok, Ok, Ok},
             {{"A", "hit", "1"}, Ok, Bad, Ok},
             {{"a", "Hit", "1"}, Bad, Keep, Ok},
             {{"NoSuchKey", "garbage", "1"}, Bad, Keep, Ok},
             {{"None", "anything", "1"}, Ok, Keep, Ok},
             {{"", "", "1"}, Ok, Keep, Ok},
         })
        expectVerdicts(c);
}

TEST_F(RowValidity, PointerRowsNeedExactlyTwoIntegers) {
    for (const Case& c : std::initializer_list<Case>{
             {{"Mouse Position", "100   -20", "0"}, Ok, Ok, Ok},
             {{"Mouse Delta Pos", " 1 \t 2 ", "0"}, Ok, Ok, Ok},
             {{"Mouse Position", "+7 2147483647", "0"}, Ok, Ok, Ok},
             {{"Mouse Position", "1 2147483648", "0"}, Ok, Bad, Ok},
             {{"Mouse Position", "100", "0"}, Ok, Bad, Ok},
             {{"Mouse Position", "1 2 3", "0"}, Ok, Bad, Ok},
             {{"Mouse Position", "x y", "0"}, Ok, Bad, Ok},
             {{"Mouse Position", "1,2", "0"}, Ok, Bad, Ok},
             {{"Mouse Delta Pos", "1.5 2", "0"}, Ok, Bad, Ok},
         })
        expectVerdicts(c);
}

TEST_F(RowValidity, WheelRowsNeedANumber) {
    for (const Case& c : std::initializer_list<Case>{
             {{"Scroll Up", "1e2", "0"}, Ok, Ok, Ok},
             {{"Scroll Down", "0.33", "0"}, Ok, Ok, Ok},
             {{"Scroll Down", "", "0"}, Ok, Bad, Ok},
             {{"Scroll Up", "0,33", "0"}, Ok, Bad, Ok},
             {{"Scroll Up", "inf", "0"}, Ok, Bad, Ok},
             {{"Scroll Down", "nan", "0"}, Ok, Bad, Ok},
         })
        expectVerdicts(c);
}

TEST_F(RowValidity, DelayMustBeANonNegativeNumber) {
    for (const Case& c : std::initializer_list<Case>{
             {{"None", "", "1.5"}, Ok, Keep, Ok},
             {{"None", "", "0"}, Ok, Keep, Ok},
             {{"None", "", " 12 "}, Ok, Keep, Ok},
             {{"None", "", "-1"}, Ok, Keep, Bad},
             {{"None", "", ""}, Ok, Keep, Bad},
             {{"None", "", "ten"}, Ok, Keep, Bad},
             {{"None", "", "1,5"}, Ok, Keep, Bad},
             {{"None", "", "inf"}, Ok, Keep, Bad},
             {{"None", "", "nan"}, Ok, Keep, Bad},
         })
        expectVerdicts(c);
}

}  // namespace
