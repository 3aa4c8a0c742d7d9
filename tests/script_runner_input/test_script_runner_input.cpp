// The input functions as scripts reach them through the real runner: the
// lines of bad calls from the runner's own error report, stops arriving in
// the middle of a long TypeString and a long DragMouse, and what a run
// that ends by a stop or an error leaves pressed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "tests/input/RecordLines.h"
#include "tests/script/RunHarness.h"

using testing::ElementsAre;

namespace {

// Only the records sent, as lines; the fake also lists its queries.
std::vector<std::string> sentLines(const platform::FakePlatform& fake) {
    std::vector<std::string> lines;
    for (const std::string& call : fake.calls())
        if (call.rfind("sendInput", 0) == 0)
            lines.push_back(call);
    return lines;
}

// Lends an injector no pauses and no record: a reference for what is sent.
class Unpaced final : public InjectionContext {
public:
    bool pause(double) override { return true; }
    bool interrupted() const override { return false; }
    HeldInputs* heldInputs() override { return nullptr; }
};

// Waits until the fake has been sent at least count records.
bool waitForRecords(const platform::FakePlatform& fake, std::size_t count) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fake.sentInputs().size() < count && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return fake.sentInputs().size() >= count;
}

const QString StopLine = "Error Stopped execution from gui thread\n";

class RunnerInput : public testing::Test {
protected:
    void SetUp() override {
        initKeyNames();
        h.platform.setDesktopSize(1920, 1080);
    }
    RunHarness h;
};

TEST_F(RunnerInput, BadCallsAreLoggedWithTheRunnersCallingLine) {
    EXPECT_EQ(scriptOutput(h, "PressKey('A')\n"
                              "ReleaseKey('A')\n"
                              "PressKey('NoSuchKey')\n"
                              "pcall(PressKeyVK, 65.0)\n"
                              "local function f()\n"
                              "  HitKeyAfterModifier('A', 'Shift', 'x', 1)\n"
                              "end\n"
                              "f()\n"
                              "Log(tostring(KeyPressedVK()))\n"
                              "Log(select('#', KeyPressedVK(65.0)))\n"
                              "coroutine.wrap(function() MouseWheel(true) end)()\n"
                              "HitKey('A', 100)"),
              "Error Line 3: Key not recognized.\n"
              "Error Line -1: Wrong type of arguments, \nExpected: integer\n"
              "Error Line 6: Wrong type of arguments, \nExpected: string, string, double, double\n"
              "Error Line 9: Wrong number of arguments.\n"
              "false"
              "Error Line 10: Wrong type of arguments, \nExpected: int\n"
              "0"
              "Error Line 11: Wrong type of arguments, \nExpected: number\n"
              "Error Line 12: Wrong number of arguments.\n");
    // A key that is not recognised still goes on as code 0; refused calls send nothing.
    EXPECT_THAT(sentLines(h.platform), ElementsAre(key(0, 0x1E, 0x08), key(0, 0x1E, 0x0A), key(0, 0, 0x08)));
}

// About 100 ms per character: unstopped this would take some six seconds.
TEST_F(RunnerInput, AStopDuringALongTypeStringFinishesItsCharacterAndTypesNoMore) {
    const std::string text = "The quick brown fox jumps over the lazy dog, 1234567890 times!";
    platform::FakePlatform reference;
    Unpaced unpaced;
    InputInjector typist(reference, unpaced);
    std::vector<std::size_t> characterEnds;
    for (char c : text) {
        typist.typeChar(c);
        characterEnds.push_back(reference.sentInputs().size());
    }

    Thread* run = h.start("TypeString('" + text + "')\nLog('aft' .. 'er')");
    ASSERT_TRUE(waitForRecords(h.platform, 4));
    h.manager.stopRun();
    const QString log = h.finish(run);

    const std::vector<platform::InputRecord> sent = h.platform.sentInputs();
    ASSERT_LT(sent.size(), reference.sentInputs().size() / 2);
    EXPECT_NE(std::find(characterEnds.begin(), characterEnds.end(), sent.size()), characterEnds.end())
        << sent.size() << " records do not end a character";
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), reference.sentInputs().begin()));
    EXPECT_TRUE(log.contains(StopLine)) << log.toStdString();
    EXPECT_FALSE(log.contains("after"));
}

// Unstopped, the glide would last ten minutes.
TEST_F(RunnerInput, AStoppedDragMouseReleasesTheButtonWhereItStopped) {
    h.platform.setCursor({100, 100});
    Thread* run = h.start("DragMouse(1900, 1000, 600000)");
    ASSERT_TRUE(waitForRecords(h.platform, 3));
    h.manager.stopRun();
    const QString log = h.finish(run);

    const std::vector<std::string> sent = sentLines(h.platform);
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent.front(), mouse(0, 0, 0, 0x0002));
    EXPECT_EQ(sent.back(), mouse(0, 0, 0, 0x0004));
    EXPECT_NE(sent[sent.size() - 2], mouse(65535 * 1901 / 1920, 65535 * 1001 / 1080, 0, 0x8001))
        << "the glide went on to its target";
    EXPECT_EQ(std::count(sent.begin(), sent.end(), mouse(0, 0, 0, 0x0004)), 1);
    EXPECT_TRUE(log.contains(StopLine)) << log.toStdString();
}

// A finished run (also one ended by os.exit) keeps what it holds, and a
// later run leaves that alone; a stopped or failed one releases what it
// still holds, newest first.
TEST_F(RunnerInput, ARunEndedByAStopOrAnErrorReleasesWhatItStillHolds) {
    scriptOutput(h, "PressKey('LControl')");
    h.run("PressKey('LAlt') os.exit(3)");
    EXPECT_THAT(sentLines(h.platform), ElementsAre(key(0, 0x1D, 0x08), key(0, 0x38, 0x08)));

    h.platform.clearCalls();
    Thread* run = h.start("PressKey('A') PressKey('LShift') ReleaseKey('A') PressMouseButton('MouseRight')\n"
                          "Log('go' .. '!') while true do end");
    ASSERT_TRUE(h.waitForLog(run, "go!"));
    h.manager.stopRun();
    EXPECT_TRUE(h.finish(run).contains(StopLine));
    EXPECT_THAT(sentLines(h.platform),
                ElementsAre(key(0, 0x1E, 0x08), key(0, 0x2A, 0x08), key(0, 0x1E, 0x0A),
                            mouse(0, 0, 0, 0x08), mouse(0, 0, 0, 0x10), key(0, 0x2A, 0x0A)));

    h.platform.clearCalls();
    EXPECT_TRUE(h.run("PressMouseButton('MouseX2') PressKey('RShift') error('x')").contains("x\n"));
    EXPECT_THAT(sentLines(h.platform), ElementsAre(mouse(0, 0, 2, 0x80), key(0, 0x36, 0x08),
                                                   key(0, 0x36, 0x0A), mouse(0, 0, 2, 0x100)));
}

}  // namespace
