// The key-name lookups both ways, with any name and any code: a name that
// is found names its code, and a code's name leads back to that code.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "input/KeyNames.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    initKeyNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const uint16_t code = keyCodeFromName(name);
    if (code != 0 && keyCodeFromName(keyNameFromCode(code)) != code)
        fuzzFailure("a found name's code has no name that leads back to it", QByteArray::fromStdString(name));

    if (size >= 2) {
        const uint16_t anyCode = static_cast<uint16_t>(data[0] | data[1] << 8);
        const std::string codeName = keyNameFromCode(anyCode);
        if (!codeName.empty() && keyCodeFromName(codeName) != anyCode)
            fuzzFailure("a code's name does not lead back to it", QByteArray::fromStdString(codeName));
    }
    return 0;
}
