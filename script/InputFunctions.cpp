#include "InputFunctions.h"

#include <string>

#include "input/InputInjector.h"
#include "input/KeyNames.h"
#include "input/NumberConversions.h"
#include "platform/Platform.h"
#include "script/ArgumentCheck.h"
#include "script/ScriptContext.h"
#include "script/ScriptMessages.h"

// The interpreter is the C build: an error (even out of memory while
// converting or pushing) longjmps through these frames. So nothing here
// holds an object with a destructor across a Lua API call; the injector is
// trivially destructible and std::string temporaries end with their statement.

using namespace messages;

namespace {

// --- What each function accepts ---

constexpr ArgumentForm NameForms[] = {{"s", ExpectString}};
constexpr ArgumentForm CodeForms[] = {{"i", ExpectInteger}};
constexpr ArgumentForm IntForms[] = {{"i", ExpectInt}};
constexpr ArgumentForm HitNameForms[] = {{"s", ExpectString}, {"snn", ExpectStringDoubleDouble}};
constexpr ArgumentForm HitKeyCodeForms[] = {{"i", ExpectInt}, {"inn", ExpectIntegerDoubleDouble}};
constexpr ArgumentForm HitButtonCodeForms[] = {{"i", ExpectInteger},
                                               {"inn", ExpectIntegerDoubleDouble}};
constexpr ArgumentForm ModifierForms[] = {{"ss", ExpectStringString},
                                          {"ssnn", ExpectStringStringDoubleDouble}};
constexpr ArgumentForm NumberForms[] = {{"n", ExpectNumber}};
constexpr ArgumentForm PointForms[] = {{"nn", ExpectNumberNumber}};
constexpr ArgumentForm GlideForms[] = {{"nnn", ExpectNumberNumberNumber}};

constexpr Signature ByName = signature(NameForms);
constexpr Signature ByCode = signature(CodeForms);
constexpr Signature HitByName = signature(HitNameForms);
constexpr Signature HitKeyByCode = signature(HitKeyCodeForms);
constexpr Signature HitButtonByCode = signature(HitButtonCodeForms);
constexpr Signature KeyAndModifier = signature(ModifierForms);
constexpr Signature Notches = signature(NumberForms);
constexpr Signature Position = signature(PointForms);
constexpr Signature Glide = signature(GlideForms);
// The state tests answer false to a bad call, except after most kind errors.
constexpr Signature KeyStateByName =
    signature(NameForms, RefusedResult::False, RefusedResult::False);
constexpr Signature KeyStateByCode = signature(IntForms, RefusedResult::False);
constexpr Signature ButtonStateByName = signature(NameForms, RefusedResult::False);
constexpr Signature ButtonStateByCode = signature(CodeForms, RefusedResult::False);

// --- Arguments ---

// The text of a string-kind argument, up to its first zero byte. Converts a
// number in place, as the interpreter does.
const char* textArgument(lua_State* state, int index) { return lua_tostring(state, index); }

// The low 16 bits of an integer-kind argument: the key code.
uint16_t codeArgument(lua_State* state, int index) {
    return static_cast<uint16_t>(lua_tointeger(state, index));
}

// A coordinate or pointer step: truncated toward zero, saturating.
int32_t pixelArgument(lua_State* state, int index) {
    return truncateToInt32(lua_tonumber(state, index));
}

// --- Key resolution: reports an unknown key and goes on ---

using Resolver = uint16_t (*)(lua_State*, int);

uint16_t resolveName(lua_State* state, int index, const char* message) {
    const char* name = textArgument(state, index);
    const uint16_t code = keyCodeFromName(name);
    if (code == 0) logScriptError(state, message);
    return code;
}

uint16_t resolveKeyName(lua_State* state, int index) {
    return resolveName(state, index, KeyNotRecognized);
}

uint16_t resolveKeyCode(lua_State* state, int index) {
    const uint16_t code = codeArgument(state, index);
    const bool named = !keyNameFromCode(code).empty();
    if (!named) logScriptError(state, KeyNotRecognized);
    return code;
}

InputInjector makeInjector() { return InputInjector(scriptPlatform(), scriptInjection()); }

// --- The shapes the functions share ---

using Action = void (InputInjector::*)(uint16_t);

int single(lua_State* state, const Signature& accepted, Resolver resolve, Action action) {
    const ArgumentCheck check = checkArguments(state, accepted);
    if (check.refused()) return check.results;
    const uint16_t code = resolve(state, 1);
    InputInjector injector = makeInjector();
    (injector.*action)(code);
    return 0;
}

// Down, hold, up, delay; holds and delays of 0 or less are no wait. The
// second form of every hit function carries hold and delay.
int hit(lua_State* state, const Signature& accepted, Resolver resolve, Action down, Action up) {
    const ArgumentCheck check = checkArguments(state, accepted);
    if (check.refused()) return check.results;
    const bool timed = check.form == 1;
    const double hold = timed ? lua_tonumber(state, 2) : DefaultHitPause;
    const double delay = timed ? lua_tonumber(state, 3) : DefaultHitPause;
    const uint16_t code = resolve(state, 1);
    InputInjector injector = makeInjector();
    (injector.*down)(code);
    injector.injectorWait(hold);
    (injector.*up)(code);
    injector.injectorWait(delay);
    return 0;
}

// A service the desktop lacks is reported as a bad call is, and the
// function goes on with its refused answer. Raises no Lua error.
bool reportedMissing(lua_State* state, platform::Service service, const char* function) {
    const platform::Availability offered = scriptPlatform().availability(service);
    if (offered.available) return false;
    logScriptError(state, function + std::string(NotAvailableHere) + offered.reason + ".\n");
    return true;
}

enum class Asked { Pressed, Released };

// Keyboard tests ask for Return when given the keypad Enter; button tests
// pass every code through.
int keyState(lua_State* state, const Signature& accepted, Resolver resolve, bool keyboard,
             Asked asked, const char* function) {
    const ArgumentCheck check = checkArguments(state, accepted);
    if (check.refused()) return check.results;
    if (reportedMissing(state, platform::Service::KeyState, function)) {
        lua_pushboolean(state, false);
        return 1;
    }
    uint16_t code = resolve(state, 1);
    if (keyboard && code == KeypadEnterCode) code = platform::VkReturn;
    const bool down = (scriptPlatform().asyncKeyState(code) & platform::KeyStateDown) != 0;
    lua_pushboolean(state, (asked == Asked::Pressed) == down);
    return 1;
}

}  // namespace

// --- Keys ---

int scriptPressKey(lua_State* state) {
    return single(state, ByName, resolveKeyName, &InputInjector::keyDown);
}
int scriptReleaseKey(lua_State* state) {
    return single(state, ByName, resolveKeyName, &InputInjector::keyUp);
}
int scriptHitKey(lua_State* state) {
    return hit(state, HitByName, resolveKeyName, &InputInjector::keyDown, &InputInjector::keyUp);
}
int scriptPressKeyVK(lua_State* state) {
    return single(state, ByCode, resolveKeyCode, &InputInjector::keyDown);
}
int scriptReleaseKeyVK(lua_State* state) {
    return single(state, ByCode, resolveKeyCode, &InputInjector::keyUp);
}
int scriptHitKeyVK(lua_State* state) {
    return hit(state, HitKeyByCode, resolveKeyCode, &InputInjector::keyDown,
               &InputInjector::keyUp);
}

int scriptKeyPressed(lua_State* state) {
    return keyState(state, KeyStateByName, resolveKeyName, true, Asked::Pressed,
                    "KeyPressed");
}
int scriptKeyReleased(lua_State* state) {
    return keyState(state, KeyStateByName, resolveKeyName, true, Asked::Released,
                    "KeyReleased");
}
int scriptKeyPressedVK(lua_State* state) {
    return keyState(state, KeyStateByCode, resolveKeyCode, true, Asked::Pressed,
                    "KeyPressedVK");
}
int scriptKeyReleasedVK(lua_State* state) {
    return keyState(state, KeyStateByCode, resolveKeyCode, true, Asked::Released,
                    "KeyReleasedVK");
}

// --- Typing ---

int scriptTypeString(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, ByName);
    if (check.refused()) return check.results;
    const char* text = textArgument(state, 1);
    InputInjector injector = makeInjector();
    injector.typeString(text);
    return 0;
}

// Only the first byte is typed; an empty text has only its terminating zero,
// which types nothing.
int scriptTypeChar(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, ByName);
    if (check.refused()) return check.results;
    const char* text = textArgument(state, 1);
    InputInjector injector = makeInjector();
    injector.typeChar(text[0]);
    return 0;
}

// The delay comes before the modifier is released; nothing waits after it.
int scriptHitKeyAfterModifier(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, KeyAndModifier);
    if (check.refused()) return check.results;
    const bool timed = check.form == 1;
    const double hold = timed ? lua_tonumber(state, 3) : DefaultHitPause;
    const double delay = timed ? lua_tonumber(state, 4) : DefaultHitPause;
    const uint16_t key = resolveKeyName(state, 1);
    const uint16_t modifier = resolveName(state, 2, ModifierNotRecognized);
    InputInjector injector = makeInjector();
    injector.keyDown(modifier);
    injector.keyDown(key);
    injector.injectorWait(hold);
    injector.keyUp(key);
    injector.injectorWait(delay);
    injector.keyUp(modifier);
    return 0;
}

// --- Mouse buttons ---

int scriptPressMouseButton(lua_State* state) {
    return single(state, ByName, resolveKeyName, &InputInjector::buttonDown);
}
int scriptReleaseMouseButton(lua_State* state) {
    return single(state, ByName, resolveKeyName, &InputInjector::buttonUp);
}
int scriptHitMouseButton(lua_State* state) {
    return hit(state, HitByName, resolveKeyName, &InputInjector::buttonDown,
               &InputInjector::buttonUp);
}
int scriptPressMouseButtonVK(lua_State* state) {
    return single(state, ByCode, resolveKeyCode, &InputInjector::buttonDown);
}
int scriptReleaseMouseButtonVK(lua_State* state) {
    return single(state, ByCode, resolveKeyCode, &InputInjector::buttonUp);
}
int scriptHitMouseButtonVK(lua_State* state) {
    return hit(state, HitButtonByCode, resolveKeyCode, &InputInjector::buttonDown,
               &InputInjector::buttonUp);
}

int scriptMouseButtonPressed(lua_State* state) {
    return keyState(state, ButtonStateByName, resolveKeyName, false, Asked::Pressed,
                    "MouseButtonPressed");
}
int scriptMouseButtonReleased(lua_State* state) {
    return keyState(state, ButtonStateByName, resolveKeyName, false, Asked::Released,
                    "MouseButtonReleased");
}
int scriptMouseButtonPressedVK(lua_State* state) {
    return keyState(state, ButtonStateByCode, resolveKeyCode, false, Asked::Pressed,
                    "MouseButtonPressedVK");
}
int scriptMouseButtonReleasedVK(lua_State* state) {
    return keyState(state, ButtonStateByCode, resolveKeyCode, false, Asked::Released,
                    "MouseButtonReleasedVK");
}

// --- Pointer and wheel ---

// Takes any arguments. A failed query answers (0, 0), still two numbers.
int scriptGetMousePosition(lua_State* state) {
    reportedMissing(state, platform::Service::PointerPosition, "GetMousePosition");
    const platform::Point position = currentCursorPosition(scriptPlatform());
    lua_pushnumber(state, position.x);
    lua_pushnumber(state, position.y);
    return 2;
}

int scriptSetMousePosition(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, Position);
    if (check.refused()) return check.results;
    InputInjector injector = makeInjector();
    injector.moveTo(pixelArgument(state, 1), pixelArgument(state, 2));
    return 0;
}

int scriptMoveMouse(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, Glide);
    if (check.refused()) return check.results;
    InputInjector injector = makeInjector();
    injector.glideTo(pixelArgument(state, 1), pixelArgument(state, 2),
                     nearestFloat(lua_tonumber(state, 3)));
    return 0;
}

int scriptDragMouse(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, Glide);
    if (check.refused()) return check.results;
    InputInjector injector = makeInjector();
    injector.dragTo(pixelArgument(state, 1), pixelArgument(state, 2),
                    nearestFloat(lua_tonumber(state, 3)));
    return 0;
}

int scriptChangeMousePosition(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, Position);
    if (check.refused()) return check.results;
    InputInjector injector = makeInjector();
    injector.moveBy(pixelArgument(state, 1), pixelArgument(state, 2));
    return 0;
}

int scriptMouseWheel(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, Notches);
    if (check.refused()) return check.results;
    InputInjector injector = makeInjector();
    injector.wheel(lua_tonumber(state, 1));
    return 0;
}

// --- Conversions: no report for an absent key ---

int scriptFromStringToVirtualKey(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, ByName);
    if (check.refused()) return check.results;
    const char* name = textArgument(state, 1);
    const uint16_t code = keyCodeFromName(name);
    lua_pushinteger(state, code);
    return 1;
}

int scriptFromVirtualKeyToString(lua_State* state) {
    const ArgumentCheck check = checkArguments(state, ByCode);
    if (check.refused()) return check.results;
    // Pushed straight from the read-only vocabulary, so no copy is left
    // behind if pushing fails.
    const std::map<int, std::string>& names = keyVocabulary().nameByCode;
    const auto found = names.find(codeArgument(state, 1));
    lua_pushstring(state, found != names.end() ? found->second.c_str() : "");
    return 1;
}
