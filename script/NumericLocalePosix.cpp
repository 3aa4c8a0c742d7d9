#include <clocale>
#include <locale.h>

#include "NumericLocale.h"

// uselocale gives this thread its own locale: the process's categories,
// with LC_NUMERIC replaced by "C".
ScopedNumericLocaleC::ScopedNumericLocaleC() {
    locale_t base = duplocale(LC_GLOBAL_LOCALE);
    if (!base)
        return;
    locale_t own = newlocale(LC_NUMERIC_MASK, "C", base);
    if (!own) {
        freelocale(base);
        return;
    }
    own_ = own;
    previous_ = uselocale(own);
}

ScopedNumericLocaleC::~ScopedNumericLocaleC() {
    if (!own_)
        return;
    uselocale(static_cast<locale_t>(previous_));
    freelocale(static_cast<locale_t>(own_));
}
