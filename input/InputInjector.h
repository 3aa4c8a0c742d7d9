#pragma once
// Builds keyboard and mouse input records and sends them, one per call,
// through the platform; also the compound actions built from them (timed
// hits, glides, drags, typing). A small value: make one per use.
//
// A stop request (from the context) ends the long actions at once, but
// nothing that an action pressed is left down: a hit still sends its
// release, a drag its button release, typing finishes its character.

#include <cstdint>
#include <string_view>

#include "input/InjectionContext.h"
#include "platform/InputRecords.h"
#include "platform/Platform.h"

// Pause after each event of a key hit, and the default hold and delay of
// the script hit functions, in milliseconds.
constexpr double DefaultHitPause = 50.0;
// Period of a glide's steps, in milliseconds.
constexpr double GlideStepPause = 2.0;

// The cursor in screen pixels, or (0, 0) when the platform cannot tell.
platform::Point currentCursorPosition(platform::Platform& platform);

class InputInjector {
public:
    // Both must outlive the injector.
    InputInjector(platform::Platform& platform, InjectionContext& context);

    // One key event. Codes above 256 have no traits and stand for no key:
    // they go out like code 0 (scan code 0).
    void keyDown(uint16_t code);
    void keyUp(uint16_t code);
    // Down, wait 50, up, wait 50.
    void hitKey(uint16_t code);
    // Modifier down, key down, wait 50, key up, wait 50, modifier up.
    void hitKeyWithModifier(uint16_t code, uint16_t modifier);

    // One button event where the pointer is; nothing for a code that is not
    // one of the five buttons.
    void buttonDown(uint16_t code);
    void buttonUp(uint16_t code);
    // One wheel event; positive notches turn away from the user. A backend
    // that sends it as many clicks drops the rest at a stop.
    void wheel(double notches);

    // One relative motion (the platform applies its pointer speed).
    void moveBy(int32_t dx, int32_t dy);
    // One absolute move to a pixel of the primary screen. Sends nothing
    // when the desktop reports no size: there is no screen to address.
    void moveTo(int32_t x, int32_t y);
    // Absolute moves from the cursor to (x, y), spread over duration
    // milliseconds. A stop ends it where it is, without the move to (x, y).
    void glideTo(int32_t x, int32_t y, float duration);
    // Left button down, glide, left button up (also after a stop).
    void dragTo(int32_t x, int32_t y, float duration);

    // Types one character with the US layout, or nothing (see UsTypingTable.h).
    void typeChar(char character);
    // Types every byte in order; after a stop, no further character.
    void typeString(std::string_view text);

    // The wait between events; returns at once unless milliseconds > 0.
    // False when a stop request cut it short.
    bool injectorWait(double milliseconds);
    // The cursor in screen pixels, (0, 0) when the platform cannot tell.
    platform::Point cursorPosition();

private:
    void keyEvent(uint16_t code, bool up);
    void buttonEvent(uint16_t code, bool up);
    // Sends a press or release and notes it in the context's record.
    void sendTracked(const platform::InputRecord& record, const platform::InputRecord& release,
                     bool isRelease);
    void readDesktop();

    platform::Platform& platform_;
    InjectionContext& context_;
    platform::InputRecord keyRecord;
    platform::InputRecord mouseRecord;
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
};
