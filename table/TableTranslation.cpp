#include "TableTranslation.h"

#include <optional>

#include "CellText.h"
#include "TableVocabulary.h"
#include "TextFileWriter.h"

namespace table {

const char TableScriptHeader[] =
    "--This is the lua script created from the Table.\n"
    "--If you want to learn what functions are available check out ReadMe.txt.\n";

namespace {

// Fixed notation with "." whatever the locale (QString::number ignores it).
QByteArray luaNumber(double value) { return QString::number(value, 'f', LuaNumberDecimals).toUtf8(); }

QByteArray call(const char* function, const QByteArray& arguments) {
    return QByteArray(function) + '(' + arguments + ")\n";
}

QByteArray quoted(const QByteArray& text) { return '"' + text + '"'; }

// The hold and the wait of a hit, which together make up the row's delay.
// Without a delay the functions' own defaults apply (", " alone would not load).
QByteArray hitTiming(std::optional<double> delay) {
    if (!delay) return QByteArray();
    if (*delay < HitSplitThreshold) return ',' + luaNumber(*delay * 0.5) + ',' + luaNumber(*delay * 0.5);
    return ',' + QByteArray(HitLongHold.data(), HitLongHold.size()) + ',' + luaNumber(*delay - HitLongHoldValue);
}

// Press, hit or release through the given functions; any other action text
// is called as a function with the key as its bare argument.
QByteArray actionLine(const QString& action, const QByteArray& keyArgument, const QByteArray& rawKey,
                      std::optional<double> delay, const char* press, const char* hit,
                      const char* release) {
    if (action == ActionPress) return call(press, quoted(keyArgument));
    if (action == ActionHit) return call(hit, quoted(keyArgument) + hitTiming(delay));
    if (action == ActionRelease) return call(release, quoted(keyArgument));
    return action.toUtf8() + '(' + rawKey + ")\n";
}

// Text the checks read as a number, written as Lua reads one: the checks
// skip surrounding white space and take a leading "+", which Lua has no
// numeral for. Text that is not a number is written as it stands.
QByteArray numeral(const QString& text, bool isNumber) {
    if (!isNumber) return text.toUtf8();
    QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('+'))) trimmed.remove(0, 1);
    return trimmed.toUtf8();
}

QByteArray pointerWord(const QStringList& words, int index) {
    if (index >= words.size()) return QByteArray();
    return numeral(words[index], cellInteger(words[index]).has_value());
}

QByteArray pointerArguments(const QString& input) {
    const QStringList words = cellWords(input);
    return pointerWord(words, 0) + ',' + pointerWord(words, 1);
}

QByteArray inputLine(const TableRow& row, std::optional<double> delay) {
    const QString& key = row.key;
    const QByteArray rawKey = key.toUtf8();
    if (key.isEmpty() || key == NoInput) return QByteArray();
    if (key == MouseAbsolute) return call("SetMousePosition", pointerArguments(row.input));
    if (key == MouseRelative) return call("ChangeMousePosition", pointerArguments(row.input));
    if (isMouseButtonName(key))
        return actionLine(row.input, rawKey, rawKey, delay, "PressMouseButton", "HitMouseButton",
                          "ReleaseMouseButton");
    if (key == ScrollUp) return call("MouseWheel", numeral(row.input, cellNumber(row.input).has_value()));
    if (key == ScrollDown) {
        if (!cellNumber(row.input)) return QByteArray();
        return call("MouseWheel", "(-1)*" + numeral(row.input, true));
    }
    // The one key name that would end a Lua string early.
    const QByteArray keyArgument = key == BackslashKey ? QByteArray("\\\\") : rawKey;
    return actionLine(row.input, keyArgument, rawKey, delay, "PressKey", "HitKey", "ReleaseKey");
}

}  // namespace

QByteArray translateRow(const TableRow& row) {
    const std::optional<double> delay = cellNumber(row.delay);
    QByteArray lines = inputLine(row, delay);
    // A hit waits inside the call itself.
    if (row.input != ActionHit && delay && *delay > 0) lines += call("MilliSleep", numeral(row.delay, true));
    return lines;
}

QByteArray buildTableScript(const TableRows& rows) {
    QByteArray script;
    for (const TableRow& row : rows) script += translateRow(row);
    return script;
}

QByteArray tableScriptFile(const TableRows& rows) {
    return QByteArray(TableScriptHeader) + buildTableScript(rows);
}

WriteOutcome writeTableScript(const QString& path, const TableRows& rows) {
    return writeTextFile(path, tableScriptFile(rows));
}

}  // namespace table
