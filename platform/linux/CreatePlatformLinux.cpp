#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/wayland/WaylandPlatform.h"
#include "platform/x11/X11Platform.h"

namespace platform {

namespace {

constexpr const char BackendVariable[] = "QUILLPRESS_BACKEND";
constexpr const char X11Name[] = "x11";
constexpr const char WaylandName[] = "wayland";

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

// The session decides: a Wayland compositor with the wlroots virtual-input
// protocols reaches every window; X11 (perhaps Xwayland) reaches only X
// clients. A name given (--backend, else QUILLPRESS_BACKEND) allows no other.
std::unique_ptr<Platform> createPlatform(const std::string& backend, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    std::string wanted = backend;
    std::string source = "--backend";
    if (wanted.empty() && isSet(BackendVariable)) {
        wanted = std::getenv(BackendVariable);
        source = BackendVariable;
    }
    if (!wanted.empty()) {
        if (wanted == X11Name) return X11Platform::open(error);
        if (wanted == WaylandName) return WaylandPlatform::open(error);
        *error = source + " is \"" + wanted + "\"; it may be \"" + X11Name + "\" or \"" +
                 WaylandName + "\"";
        return nullptr;
    }
    std::string waylandReason = "WAYLAND_DISPLAY is not set";
    if (isSet("WAYLAND_DISPLAY")) {
        if (auto wayland = WaylandPlatform::open(&waylandReason)) return wayland;
    }
    std::string x11Reason = "DISPLAY is not set";
    if (isSet("DISPLAY")) {
        if (auto x11 = X11Platform::open(&x11Reason)) {
            if (isSet("WAYLAND_DISPLAY"))
                std::fprintf(stderr,
                             "quillpress: using X11, which reaches only X windows: the Wayland "
                             "backend cannot "
                             "work here (%s)\n",
                             waylandReason.c_str());
            return x11;
        }
    }
    *error = "no desktop to drive: looked for a Wayland compositor (" + waylandReason +
             ") and an X server (" + x11Reason + ")";
    return nullptr;
}

}  // namespace platform
