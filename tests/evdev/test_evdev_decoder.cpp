// Recorded evdev streams (evemu-record text, beside this file) decoded and
// delivered as a low-level hook reports input: messages, virtual keys,
// mouse data and capture-clock times.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/evdev/EvdevDevices.h"

using namespace platform;
using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

// "E: <sec>.<usec> <type> <code> <value>" lines, the rest ignored.
std::vector<input_event> readStream(const std::string& name) {
    std::ifstream file(std::string(QP_EVDEV_STREAMS) + "/" + name);
    EXPECT_TRUE(file) << name;
    std::vector<input_event> events;
    for (std::string line; std::getline(file, line);) {
        long sec = 0, usec = 0;
        unsigned type = 0, code = 0;
        int value = 0;
        const char* format = "E: %ld.%ld %x %x %d";
        if (std::sscanf(line.c_str(), format, &sec, &usec, &type, &code, &value) != 5) continue;
        input_event e{};
        e.input_event_sec = sec;
        e.input_event_usec = usec;
        e.type = static_cast<uint16_t>(type);
        e.code = static_cast<uint16_t>(code);
        e.value = value;
        events.push_back(e);
    }
    return events;
}

void decode(const std::string& name, EvdevDecoder* decoder, std::vector<EvdevInput>* out) {
    for (const input_event& e : readStream(name)) decoder->feed(e, out);
}

std::string hex(uint32_t v) {
    std::ostringstream s;
    s << std::hex << v;
    return s.str();
}

std::string at(uint32_t time) {
    return std::to_string(time);
}

struct Listener : CaptureListener {
    void keyboardEvent(const KeyEvent& e) override {
        got.push_back("key " + hex(e.message) + " " + hex(e.virtualKey) + " " + at(e.time));
    }
    void mouseEvent(const MouseEvent& e) override {
        got.push_back("mouse " + hex(e.message) + " " + hex(e.mouseData) + " " + at(e.time));
    }
    void rawMovement(const RawMovement& m) override {
        got.push_back("raw " + std::to_string(m.lastX) + " " + std::to_string(m.lastY) + " " +
                      at(m.time));
    }
    void hotkey(int) override { got.push_back("hotkey"); }
    std::vector<std::string> got;
};

std::vector<std::string> deliver(std::vector<EvdevInput> inputs) {
    HookKeyMessages keys;
    Listener listener;
    deliverInTimeOrder(&inputs, &keys, &listener);
    return listener.got;
}

}  // namespace

TEST(EvdevDecoder, TypingGivesKeysRepeatsSystemKeysAndTheKeypadByTheNumLockLed) {
    EvdevDecoder keyboard(false, true);
    std::vector<EvdevInput> inputs;
    decode("keyboard.evemu", &keyboard, &inputs);
    // a, Shift+b, c held until it repeats, Alt+f, keypad 1 as End, NumLock,
    // keypad 1 as 1.
    EXPECT_THAT(deliver(inputs),
                ElementsAre("key 100 41 103500", "key 101 41 103580", "key 100 a0 104000",
                            "key 100 42 104120", "key 101 42 104190", "key 101 a0 104250",
                            "key 100 43 105000", "key 100 43 105250", "key 100 43 105283",
                            "key 101 43 105300", "key 104 a4 106000", "key 104 46 106100",
                            "key 105 46 106150", "key 101 a4 106200", "key 100 23 107000",
                            "key 101 23 107050", "key 100 90 108000", "key 101 90 108090",
                            "key 100 61 108500", "key 101 61 108560"));
}

TEST(EvdevDecoder, PointerGivesMotionPerFrameWheelNotchesButtonsAndSurvivesLostEvents) {
    EvdevDecoder mouse(false, false);
    std::vector<EvdevInput> inputs;
    decode("mouse.evemu", &mouse, &inputs);
    EXPECT_THAT(deliver(inputs),
                ElementsAre("raw 3 -2 4294967200", "mouse 201 0 4294967216", "raw 7 0 4294967224",
                            "raw 2 1 4294967232", "mouse 202 0 4294967232",
                            // Past 2^32 ms the capture clock wraps; the half notch
                            // of the high-resolution wheel and the tilt wheel give
                            // nothing.
                            "mouse 20a 780000 0", "mouse 20a ff880000 22", "mouse 20a ff880000 22",
                            "mouse 204 0 104", "mouse 205 0 164", "mouse 20b 10000 204",
                            "mouse 20c 10000 264", "mouse 20b 20000 304", "mouse 20c 20000 354",
                            // The frame SYN_DROPPED broke is gone; the catch-up's
                            // release is not.
                            "mouse 201 0 704", "mouse 202 0 713", "raw 1 0 724"));
}

TEST(EvdevDecoder, TwoKeyboardsMergeInTimeOrderAndAnUnpluggedOneReleasesWhatItHeld) {
    EvdevDecoder laptop(false, true), keypad(true, true);
    std::vector<EvdevInput> inputs;
    decode("laptop.evemu", &laptop, &inputs);
    decode("keypad.evemu", &keypad, &inputs);
    keypad.lost(201000000, &inputs);
    keypad.lost(202000000, &inputs);  // nothing is held any more
    // Alt on one keyboard makes the other's key a system key; at equal times
    // the order read stands.
    EXPECT_THAT(deliver(inputs),
                ElementsAre("key 104 a4 200000", "key 104 61 200100", "key 105 61 200150",
                            "key 101 a4 200300", "key 100 62 200300", "key 101 62 201000"));
}

TEST(EvdevDevices, WithoutAReadableEventDeviceRecordingSaysWhy) {
    char dir[] = "/tmp/qp-evdev-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string sentence = "Recording needs read access to /dev/input (the input group)";
    const EvdevDevices empty(dir);
    EXPECT_THAT(empty.whyNot(), HasSubstr(sentence));
    EXPECT_EQ(EvdevDevices::unavailableReason(dir), empty.whyNot());
    rmdir(dir);
    EXPECT_THAT(EvdevDevices::unavailableReason(dir),
                AllOf(HasSubstr(sentence), HasSubstr("No such file or directory")));
}
