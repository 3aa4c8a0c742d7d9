#include <clocale>
#include <cstdint>
#include <locale.h>
#include <string>

#include "NumericLocale.h"

// The C runtime keeps a per-thread locale once asked to; previous_ holds
// the thread's former setting and own_ the numeric locale to restore.
ScopedNumericLocaleC::ScopedNumericLocaleC() {
    int mode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    previous_ = reinterpret_cast<void*>(static_cast<intptr_t>(mode));
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    own_ = new std::string(numeric ? numeric : "C");
    std::setlocale(LC_NUMERIC, "C");
}

ScopedNumericLocaleC::~ScopedNumericLocaleC() {
    auto* numeric = static_cast<std::string*>(own_);
    std::setlocale(LC_NUMERIC, numeric->c_str());
    delete numeric;
    _configthreadlocale(static_cast<int>(reinterpret_cast<intptr_t>(previous_)));
}
