#include "HotkeyBinding.h"

#include <QStringList>

#include "input/KeyNames.h"
#include "platform/InputRecords.h"

using namespace platform;

namespace {

// The toolkit names a shifted punctuation key by its character; the key
// vocabulary knows the unshifted key. Tried in this order.
struct ShiftedWord {
    const char* word;
    const char* keyName;
};
constexpr ShiftedWord ShiftedPunctuation[] = {
    {"~", "`"}, {"!", "1"}, {"@", "2"}, {"#", "3"}, {"$", "4"}, {"%", "5"}, {"^", "6"},
    {"&", "7"}, {"*", "8"}, {"(", "9"}, {")", "0"}, {"_", "-"}, {"+", "="}, {"{", "["},
    {"}", "]"}, {":", ";"}, {"\"", "'"}, {"|", "\\"}, {"<", ","}, {">", "."}, {"?", "/"},
};

// The modifier words of the portable text, and the key F12 that cannot be bound.
const QString CtrlWord = QStringLiteral("Ctrl");
const QString AltWord = QStringLiteral("Alt");
const QString ShiftWord = QStringLiteral("Shift");
const QString MetaWord = QStringLiteral("Meta");
constexpr const char* UnbindableKey = "F12";

uint16_t lookUp(const QString& name) { return keyCodeFromName(name.toStdString()); }

QString withoutSpaces(const QString& text) { return text.simplified().remove(QLatin1Char(' ')); }

// For the comma and plus keys: Ctrl, Alt and Meta count and are kept for the
// shown text; every other word (Shift too) is dropped.
uint32_t keptModifiers(const QString& chord, QString* keptText) {
    uint32_t bits = 0;
    for (const QString& word : chord.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        uint32_t bit = 0;
        if (word == CtrlWord) bit = ModControl;
        else if (word == AltWord) bit = ModAlt;
        else if (word == MetaWord) bit = ModWin;
        if (!bit) continue;
        bits |= bit;
        *keptText += word + QLatin1Char('+');
    }
    return bits;
}

HotkeyBinding registered(uint32_t modifiers, uint32_t key, const QKeySequence& shown) {
    return HotkeyBinding{true, modifiers, key, shown};
}

HotkeyBinding nothing(const QKeySequence& shown) { return HotkeyBinding{false, 0, 0, shown}; }

}  // namespace

HotkeyBinding bindHotkey(const QKeySequence& sequence) {
    if (sequence.count() < 1) return nothing(sequence);
    const QString text = sequence.toString(QKeySequence::PortableText);
    if (text.isEmpty()) return nothing(sequence);

    if (text.endsWith(QLatin1Char(','))) {
        const uint16_t comma = lookUp(QStringLiteral(","));
        const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (parts.isEmpty())
            return registered(ModNoRepeat, comma, QKeySequence(QStringLiteral(",")));
        QString kept;
        const uint32_t bits = keptModifiers(withoutSpaces(parts.last()), &kept);
        return registered(ModNoRepeat | bits, comma, QKeySequence(kept + QLatin1Char(',')));
    }

    const QStringList chords = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (chords.isEmpty()) return nothing(QKeySequence());
    QString rawChord = chords.last();
    const QString chord = withoutSpaces(rawChord);

    if (chord.endsWith(QLatin1Char('+'))) {
        QString kept;
        const uint32_t bits = keptModifiers(chord, &kept);
        return registered(ModNoRepeat | ModShift | bits, lookUp(QStringLiteral("=")),
                          QKeySequence(kept + QLatin1Char('+')));
    }

    uint32_t modifiers = ModNoRepeat;
    uint16_t key = 0;
    QString keyName;
    for (const QString& word : chord.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        if (word == CtrlWord) { modifiers |= ModControl; continue; }
        if (word == AltWord) { modifiers |= ModAlt; continue; }
        if (word == ShiftWord) { modifiers |= ModShift; continue; }
        if (word == MetaWord) { modifiers |= ModWin; continue; }
        keyName = word;
        for (const ShiftedWord& shifted : ShiftedPunctuation) {
            if (word == QLatin1String(shifted.word)) {
                modifiers |= ModShift;
                keyName = QLatin1String(shifted.keyName);
                break;
            }
        }
        key = lookUp(keyName);
    }
    if (keyName == QLatin1String(UnbindableKey) || key == 0) return nothing(QKeySequence());

    if (rawChord.startsWith(QLatin1Char(' '))) rawChord.remove(0, 1);
    return registered(modifiers, key, QKeySequence::fromString(rawChord, QKeySequence::PortableText));
}

namespace {

struct ModifierKeys {
    uint32_t modifier;
    uint32_t keys[3];  // generic, left, right (0: none)
};
constexpr ModifierKeys ModifierKeyCodes[] = {
    {platform::ModControl, {0x11, 0xA2, 0xA3}},
    {platform::ModShift, {0x10, 0xA0, 0xA1}},
    {platform::ModAlt, {0x12, 0xA4, 0xA5}},
    {platform::ModWin, {0x5B, 0x5C, 0}},
};

}  // namespace

std::vector<uint32_t> keysOfHotkey(const HotkeyBinding& binding) {
    std::vector<uint32_t> keys;
    if (!binding.registers) return keys;
    keys.push_back(binding.virtualKey);
    for (const ModifierKeys& row : ModifierKeyCodes)
        if (binding.modifiers & row.modifier)
            for (uint32_t key : row.keys)
                if (key) keys.push_back(key);
    return keys;
}
