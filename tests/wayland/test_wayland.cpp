// The Wayland backend, chosen as the program chooses it, driving a window of
// the test's own on a private headless sway; also the choice itself.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "input/UsTypingTable.h"
#include "platform/Platform.h"
#include "tests/support/ProcessRunner.h"

namespace {

using platform::Point;
using ::testing::AllOf;
using ::testing::HasSubstr;

// A private headless sway whose only window (started by sway, its output
// ours) prints what reaches it, one line per event.
class WaylandBackend : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(linesUntil("focused"), "focused,") << "the window got no keyboard focus";
        injector_.moveTo(300, 200);  // away from every target
        events();
    }
    ~WaylandBackend() override {
        runProcess({"swaymsg", "-s", dir_ + "/ipc", "exit"});
        pclose(sway_);
        std::filesystem::remove_all(dir_);
    }

    // The window's lines, each ended by a comma, up to the first that starts with first (all
    // of them when it does not come in time); the typed text goes to text_ instead.
    std::string linesUntil(const std::string& first) {
        std::string lines, line;
        pollfd readable{fileno(sway_), POLLIN, 0};
        for (char c; poll(&readable, 1, 10000) > 0 && read(readable.fd, &c, 1) == 1;
             c == '\n' ? line.clear() : line.push_back(c)) {
            if (c != '\n') continue;
            if (line.rfind("text ", 0) == 0)
                text_ += line.substr(5);
            else
                lines += line + ",";
            if (line.rfind(first, 0) == 0) return lines;
        }
        return lines + "(no " + first + " in time)";
    }
    // What the window received, up to the press and release of F12 sent last.
    std::string events() {
        injector_.hitKey(keyCodeFromName("F12"));
        return linesUntil("key 88 0");
    }

    FILE* startSway() {
        std::ofstream(dir_ + "/config") << "output HEADLESS-1 resolution 1280x720 position 0 0\n"
                                        << "exec " QP_WAYLAND_TEST_CLIENT "\n";
        // sway refuses to run as root, so under root (CI) it and the window run as nobody;
        // the test stays root and reaches their sockets by absolute path.
        const std::string asNobody =
            "G=$(id -g nobody); chown nobody:$G $D; "
            "U=\"--reuid=nobody --regid=$G --clear-groups\"; ";
        const std::string command =
            "D=" + dir_ + "; " + (getuid() == 0 ? asNobody : "") +
            "exec setpriv --pdeathsig KILL $U env -i PATH=/usr/bin:/bin "
            "HOME=$D XDG_RUNTIME_DIR=$D SWAYSOCK=$D/ipc WLR_RENDERER=pixman "
            "WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 "
            "ASAN_OPTIONS=detect_leaks=0 sway -c $D/config 2>/dev/null";
        return popen(command.c_str(), "re");
    }
    // As the program chooses it, once the window is up; the window gets the focus with
    // the backend's keyboard, the only one.
    std::unique_ptr<platform::Platform> openBackend() {
        const std::string placed = linesUntil("placed on ");
        if (placed.rfind("placed on ", 0) != 0)
            throw std::runtime_error("sway did not start or show the window");
        setenv("WAYLAND_DISPLAY", (dir_ + "/" + placed.substr(10, placed.size() - 11)).c_str(), 1);
        unsetenv("QUILLPRESS_BACKEND");
        unsetenv("DISPLAY");
        std::string error;
        auto backend = platform::createPlatform(&error);
        if (!backend) throw std::runtime_error(error);
        return backend;
    }

    std::string text_;
    std::string dir_ = mkdtemp(std::string("/tmp/qp-sway-XXXXXX").data());
    FILE* sway_ = startSway();
    std::unique_ptr<platform::Platform> backend_ = openBackend();
    PlainInjectionContext context_;
    InputInjector injector_{*backend_, context_};
};

TEST_F(WaylandBackend, EveryCharacterOfTheTypingTableArrivesExactly) {
    std::string typed;
    for (int byte = 1; byte < 256; ++byte)
        if (usTypedKey(static_cast<unsigned char>(byte)).code) typed += static_cast<char>(byte);
    injector_.typeString(typed);
    events();
    // The table types a line feed with Return, whose text is a carriage return.
    std::replace(typed.begin(), typed.end(), '\n', '\r');
    EXPECT_EQ(text_, typed);
}

TEST_F(WaylandBackend, KeysMovesButtonsAndWheelNotchesArriveAsSent) {
    EXPECT_EQ(backend_->desktopRect(), (platform::Rect{0, 0, 1280, 720}));
    for (const Point p :
         {Point{0, 0}, Point{1279, 0}, Point{0, 719}, Point{1279, 719}, Point{640, 360}})
        injector_.moveTo(p.x, p.y);
    injector_.moveBy(-40, 25);
    injector_.moveBy(3, -7);
    std::string expected =
        "motion 0 0,motion 1279 0,motion 0 719,motion 1279 719,motion 640 360,"
        "motion 600 385,motion 603 378,";
    for (const uint16_t button :
         {platform::VkLeftButton, platform::VkRightButton, platform::VkMiddleButton,
          platform::VkXButton1, platform::VkXButton2})
        injector_.buttonDown(button), injector_.buttonUp(button);
    expected +=
        "button 272 1,button 272 0,button 273 1,button 273 0,button 274 1,button 274 0,"
        "button 275 1,button 275 0,button 276 1,button 276 0,";
    // Away is negative on Wayland's axis; half notches carry over until a
    // whole one, and are dropped when the direction turns.
    for (const double notches : {2.0, -1.0, 0.5, 0.5, 0.5, -0.5, -0.5}) injector_.wheel(notches);
    expected += "notches -1,notches -1,notches 1,notches -1,notches 1,";
    const std::pair<const char*, int> keys[] = {
        {"LShift", 42},   {"RShift", 54},   {"LControl", 29}, {"RControl", 97}, {"LAlt", 56},
        {"RAlt", 100},    {"LWindow", 125}, {"Num0", 82},     {"Num5", 76},     {"Num9", 73},
        {"Multiply", 55}, {"Add", 78},      {"Subtract", 74}, {"Decimal", 83},  {"Divide", 98},
        {"Enter", 96},    {"NumLock", 69}};
    for (const auto& [name, evdev] : keys) {
        injector_.hitKey(keyCodeFromName(name));
        expected += "key " + std::to_string(evdev) + " 1,key " + std::to_string(evdev) + " 0,";
    }
    EXPECT_EQ(events(), expected + "key 88 1,key 88 0,");
}

// The compositor tells no one where the pointer is: we know it once our own
// moves have placed it, and track it to the desktop's edge.
TEST_F(WaylandBackend, SaysWhatWlrootsDoesNotOfferAndKnowsThePointerOnceItPlacedIt) {
    using platform::Service;
    const platform::Availability hotkeys = backend_->availability(Service::GlobalHotkeys);
    EXPECT_FALSE(hotkeys.available);
    EXPECT_THAT(hotkeys.reason, HasSubstr("no global hotkeys"));
    EXPECT_EQ(backend_->registerHotkey(1, 0, keyCodeFromName("F4")), platform::HotkeyResult::Refused);
    // No /dev/input here.
    EXPECT_THAT(backend_->availability(Service::Recording).reason,
                testing::StartsWith("Recording needs read access to /dev/input (the input group)"));
    std::string error;
    const auto fresh = platform::createPlatform("wayland", &error);
    ASSERT_TRUE(fresh) << error;
    Point position{7, 7};
    EXPECT_FALSE(fresh->availability(Service::PointerPosition).available);
    EXPECT_FALSE(fresh->cursorPosition(&position));
    EXPECT_EQ(position, (Point{7, 7}));
    // The fixture's backend has placed the pointer.
    injector_.moveTo(100, 200);
    injector_.moveBy(-150, 5);
    // (The second backend's keyboard may bring the window a second focus line.)
    EXPECT_THAT(events(), testing::EndsWith("motion 100 200,motion 0 205,key 88 1,key 88 0,"));
    EXPECT_TRUE(backend_->availability(Service::PointerPosition).available);
    EXPECT_TRUE(backend_->cursorPosition(&position));
    EXPECT_EQ(position, (Point{0, 205}));
}

TEST(BackendChoice, NamesWhatItLookedForWhenThereIsNoDesktopAndRefusesUnknownNames) {
    unsetenv("QUILLPRESS_BACKEND");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("DISPLAY");
    std::string error;
    EXPECT_EQ(platform::createPlatform(&error), nullptr);
    EXPECT_THAT(
        error, AllOf(HasSubstr("(WAYLAND_DISPLAY is not set)"), HasSubstr("(DISPLAY is not set)")));
    setenv("QUILLPRESS_BACKEND", "mir", 1);
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_EQ(platform::createPlatform(&error), nullptr);
    EXPECT_THAT(error, HasSubstr("\"mir\""));
}

}  // namespace
