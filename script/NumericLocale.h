#pragma once
// Keeps the numeric locale of the calling thread "C" while it lives, so
// that Lua writes and reads numbers with "." whatever the process's locale.
// Other threads and the other locale categories are left alone.

class ScopedNumericLocaleC {
public:
    ScopedNumericLocaleC();
    ~ScopedNumericLocaleC();
    ScopedNumericLocaleC(const ScopedNumericLocaleC&) = delete;
    ScopedNumericLocaleC& operator=(const ScopedNumericLocaleC&) = delete;

private:
    // The system's handle of the locale in use before, and of ours.
    void* previous_ = nullptr;
    void* own_ = nullptr;
};
