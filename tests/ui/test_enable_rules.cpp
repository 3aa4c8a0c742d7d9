// The enable rules: busy, idle, by mode and by the chosen input.

#include <gtest/gtest.h>

#include "ui/EnableRules.h"

namespace {

EnableInputs idleTable(const char* location, const char* mouseEntry = "None") {
    EnableInputs in;
    in.location = location;
    in.mouseEntry = mouseEntry;
    return in;
}

TEST(EnableRules, BusyLeavesOnlyTheSwitchOfWhatRuns) {
    EnableInputs running = idleTable("Keyboard");
    running.running = true;
    running.looping = running.rowSelected = true;
    EnableStates expected;
    expected.logControls = true;
    expected.runSwitch = true;
    EXPECT_EQ(enableStates(running), expected);

    EnableInputs recording = idleTable("Keyboard");
    recording.recording = true;
    recording.scriptMode = true;
    recording.logging = false;
    expected = EnableStates();
    expected.recordingSwitch = true;
    EXPECT_EQ(enableStates(recording), expected);
}

TEST(EnableRules, IdleTableModeOffersTableEditorAndFiles) {
    EnableInputs in = idleTable("Keyboard");
    EnableStates expected;
    expected.logControls = expected.runHotkeyControls = expected.runSwitch = expected.recordingSwitch = true;
    expected.recordingSettings = expected.loop = expected.modeChoice = expected.convertTableToScript = true;
    expected.tableControls = expected.delayAndLocation = expected.fileButtons = true;
    expected.keyChoice = expected.actionChoice = true;
    EXPECT_EQ(enableStates(in), expected);

    in.rowSelected = in.looping = true;
    in.logging = false;
    expected.rowButtons = expected.repeat = true;
    expected.logControls = false;
    EXPECT_EQ(enableStates(in), expected);
}

TEST(EnableRules, ScriptModeOffersTheFileButNoTableOrEditor) {
    EnableInputs in = idleTable("Mouse", "Scroll Up");
    in.scriptMode = in.rowSelected = true;
    EnableStates expected;
    expected.logControls = expected.runHotkeyControls = expected.runSwitch = expected.recordingSwitch = true;
    expected.recordingSettings = expected.loop = expected.modeChoice = expected.convertTableToScript = true;
    expected.scriptFileControls = expected.editScript = true;
    EXPECT_EQ(enableStates(in), expected);
}

TEST(EnableRules, EditorChoicesFollowLocationAndMouseEntry) {
    const struct {
        const char* location;
        const char* entry;
        bool key, mouse, action, position, wheel;
    } cases[] = {
        {"Keyboard", "Mouse Position", true, false, true, false, false},
        {"Mouse", "Mouse Position", false, true, false, true, false},
        {"Mouse", "Mouse Delta Pos", false, true, false, true, false},
        {"Mouse", "MouseLeft", false, true, true, false, false},
        {"Mouse", "MouseRight", false, true, true, false, false},
        {"Mouse", "MouseMiddle", false, true, true, false, false},
        {"Mouse", "MouseX1", false, true, true, false, false},
        {"Mouse", "MouseX2", false, true, true, false, false},
        {"Mouse", "Scroll Up", false, true, false, false, true},
        {"Mouse", "Scroll Down", false, true, false, false, true},
        {"Mouse", "None", false, true, false, false, false},
        {"Mouse", "mouseleft", false, true, false, false, false},
        {"None", "MouseLeft", false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.location) + "/" + c.entry);
        const EnableStates s = enableStates(idleTable(c.location, c.entry));
        EXPECT_EQ(s.keyChoice, c.key);
        EXPECT_EQ(s.mouseChoice, c.mouse);
        EXPECT_EQ(s.actionChoice, c.action);
        EXPECT_EQ(s.position, c.position);
        EXPECT_EQ(s.wheel, c.wheel);
        EXPECT_TRUE(s.delayAndLocation);
    }
}

}  // namespace
