// The Wayland backend, chosen as the program chooses it, driving a window of
// the test's own on a private headless sway; also the choice itself.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "SwaySession.h"
#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "input/UsTypingTable.h"
#include "platform/Platform.h"
#include "platform/fake/UsScanCodes.h"

namespace {

using platform::Point;

// "key CODE STATE" of a key line, and the text it carries.
std::string keyOf(const std::string& line, std::string* text = nullptr) {
    std::istringstream fields(line);
    std::string kind, code, pressed, hex;
    fields >> kind >> code >> pressed >> hex;
    for (size_t i = 0; text && i + 1 < hex.size(); i += 2)
        *text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return kind + " " + code + " " + pressed;
}

std::unique_ptr<platform::Platform> openOn(const SwaySession& sway) {
    unsetenv("QUILLPRESS_BACKEND");
    unsetenv("DISPLAY");
    setenv("WAYLAND_DISPLAY", sway.socket().c_str(), 1);
    std::string error;
    auto backend = platform::createPlatform(&error);
    if (!backend) throw std::runtime_error(error);
    return backend;
}

class WaylandBackend : public ::testing::Test {
protected:
    void SetUp() override {
        // Start the pointer away from every target, and forget the window's first events.
        injector_.moveTo(300, 200);
        events();
    }

    // What the window received, up to an F12 press and release sent last.
    std::vector<std::string> events() {
        injector_.hitKey(keyCodeFromName("F12"));
        bool found = false;
        std::vector<std::string> lines = window_.linesUntil("key 88 0", &found);
        EXPECT_TRUE(found) << "the closing F12 never arrived";
        if (!lines.empty() && lines.back() == "key 88 1") lines.pop_back();
        return lines;
    }

    SwaySession sway_;
    std::unique_ptr<platform::Platform> backend_ = openOn(sway_);
    TestWindow window_{sway_};
    PlainInjectionContext context_;
    InputInjector injector_{*backend_, context_};
};

TEST_F(WaylandBackend, EveryCharacterOfTheTypingTableArrivesExactly) {
    std::string typed;
    for (int byte = 1; byte < 256; ++byte)
        if (usTypedKey(static_cast<unsigned char>(byte)).code) typed += static_cast<char>(byte);
    injector_.typeString(typed);

    std::string received;
    for (const std::string& line : events()) keyOf(line, &received);
    // The table types a line feed with Return, whose text is a carriage return.
    std::string expected = typed;
    for (char& c : expected)
        if (c == '\n') c = '\r';
    EXPECT_EQ(received, expected);
}

TEST_F(WaylandBackend, ModifiersAndKeypadKeysArriveAsTheirOwnKeys) {
    const std::pair<const char*, int> keys[] = {
        {"LShift", 42},   {"RShift", 54},   {"LControl", 29}, {"RControl", 97}, {"LAlt", 56},
        {"RAlt", 100},    {"LWindow", 125}, {"Num0", 82},     {"Num5", 76},     {"Num9", 73},
        {"Multiply", 55}, {"Add", 78},      {"Subtract", 74}, {"Decimal", 83},  {"Divide", 98},
        {"Enter", 96},    {"NumLock", 69}};
    std::vector<std::string> expected;
    for (const auto& [name, evdev] : keys) {
        injector_.keyDown(keyCodeFromName(name));
        injector_.keyUp(keyCodeFromName(name));
        expected.push_back("key " + std::to_string(evdev) + " 1");
        expected.push_back("key " + std::to_string(evdev) + " 0");
    }
    std::vector<std::string> received;
    for (const std::string& line : events()) received.push_back(keyOf(line));
    EXPECT_EQ(received, expected);
}

// Keys typed by scan code depend on it. Keys the US table lacks (media
// keys) are named by their position, as on X11.
TEST_F(WaylandBackend, ScanCodesOfVirtualKeysAreTheUsOnes) {
    for (uint32_t vk = 1; vk < 256; ++vk) {
        if (const uint16_t us = platform::usScanCodeOfVirtualKey(vk)) {
            EXPECT_EQ(backend_->scanCodeOfVirtualKey(vk), us) << "virtual key " << vk;
        }
    }
}

TEST_F(WaylandBackend, AbsoluteMovesLandOnExactPixelsAndRelativeMovesAddUp) {
    EXPECT_EQ(backend_->desktopRect(), (platform::Rect{0, 0, 1280, 720}));
    std::vector<std::string> expected;
    for (const Point target :
         {Point{0, 0}, Point{1279, 0}, Point{0, 719}, Point{1279, 719}, Point{640, 360}}) {
        injector_.moveTo(target.x, target.y);
        expected.push_back("motion " + std::to_string(target.x) + " " + std::to_string(target.y));
    }
    injector_.moveBy(-40, 25);
    injector_.moveBy(3, -7);
    expected.push_back("motion 600 385");
    expected.push_back("motion 603 378");
    EXPECT_EQ(events(), expected);
}

TEST_F(WaylandBackend, ButtonsSideButtonsAndWholeWheelNotchesArrive) {
    for (uint16_t button : {platform::VkLeftButton, platform::VkRightButton,
                            platform::VkMiddleButton, platform::VkXButton1, platform::VkXButton2}) {
        injector_.buttonDown(button);
        injector_.buttonUp(button);
    }
    // Away is negative on Wayland's axis; half notches carry over until a
    // whole one, and are dropped when the direction turns.
    for (double notches : {2.0, -1.0, 0.5, 0.5, 0.5, -0.5, -0.5}) injector_.wheel(notches);
    const std::vector<std::string> expected = {
        "button 272 1", "button 272 0", "button 273 1", "button 273 0", "button 274 1",
        "button 274 0", "button 275 1", "button 275 0", "button 276 1", "button 276 0",
        "notches -1",   "notches -1",   "notches 1",    "notches -1",   "notches 1"};
    EXPECT_EQ(events(), expected);
}

TEST_F(WaylandBackend, RefusesWhatWlrootsDoesNotOfferInsteadOfPretending) {
    EXPECT_EQ(backend_->registerHotkey(1, 0, keyCodeFromName("F4")),
              platform::HotkeyResult::Refused);
    Point position{7, 7};
    EXPECT_FALSE(backend_->cursorPosition(&position));
    EXPECT_EQ(position, (Point{7, 7}));
}

TEST(BackendChoice, NamesWhatItLookedForWhenThereIsNoDesktop) {
    unsetenv("QUILLPRESS_BACKEND");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("DISPLAY");
    std::string error;
    EXPECT_EQ(platform::createPlatform(&error), nullptr);
    EXPECT_NE(error.find("(WAYLAND_DISPLAY is not set)"), std::string::npos) << error;
    EXPECT_NE(error.find("(DISPLAY is not set)"), std::string::npos) << error;

    setenv("QUILLPRESS_BACKEND", "mir", 1);
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_EQ(platform::createPlatform(&error), nullptr);
    EXPECT_NE(error.find("\"mir\""), std::string::npos) << error;
    unsetenv("QUILLPRESS_BACKEND");
    unsetenv("WAYLAND_DISPLAY");
}

}  // namespace
