#include "Win32Platform.h"

namespace platform {

// user32 is always there: the Windows backend cannot fail to open, and it
// is the only one.
std::unique_ptr<Platform> createPlatform(const std::string& backend, std::string* error) {
    if (!backend.empty()) {
        if (error) *error = "this build drives Windows only; there is no backend \"" + backend + "\" to choose";
        return nullptr;
    }
    return std::make_unique<Win32Platform>();
}

}  // namespace platform
