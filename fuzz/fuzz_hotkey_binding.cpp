// Any key sequence text, as a hotkey edit could hold it, bound as a global
// hotkey. The sequence the edit shows afterwards must bind to the same
// hotkey again, or the edit would show one hotkey and register another.

#include <QByteArray>
#include <QKeySequence>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"
#include "input/HotkeyBinding.h"
#include "input/KeyNames.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    initKeyNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    const HotkeyBinding binding = bindHotkey(sequence);
    (void)keysOfHotkey(binding);

    const HotkeyBinding again = bindHotkey(binding.shown);
    if (again.registers != binding.registers || again.modifiers != binding.modifiers ||
        again.virtualKey != binding.virtualKey)
        fuzzFailure("the shown sequence binds another hotkey",
                    (text + QStringLiteral(" -> ") + binding.shown.toString(QKeySequence::PortableText)).toUtf8());
    return 0;
}
