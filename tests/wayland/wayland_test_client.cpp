// A fullscreen Wayland window that prints what reaches it, one line per event:
//   ready | key EVDEV 1|0 [HEX-OF-TEXT] | motion X Y | button CODE 1|0 | notches N
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <string>

#include "xdg-shell-client-protocol.h"

namespace {

struct Window {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    wl_seat* seat = nullptr;
    wl_surface* surface = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_state* state = nullptr;
    int width = 0, height = 0;  // as the compositor asks; 0 before it has placed the window
    int drawnWidth = 0, drawnHeight = 0;
    bool fullscreen = false, focused = false, saidReady = false;
};

void out(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void draw(Window* w, int width, int height) {
    const int fd = memfd_create("test-window", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, width * height * 4) != 0) return;
    wl_shm_pool* pool = wl_shm_create_pool(w->shm, fd, width * height * 4);
    wl_surface_attach(
        w->surface,
        wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888), 0, 0);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_commit(w->surface);
    w->drawnWidth = width;
    w->drawnHeight = height;
    w->fullscreen = width == w->width && height == w->height;
}

template <typename... A>
void ignore(void*, A...) {}

void keymap(void* data, wl_keyboard*, uint32_t, int fd, uint32_t size) {
    auto* w = static_cast<Window*>(data);
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(w->xkb, static_cast<const char*>(text),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (w->state) xkb_state_unref(w->state);
    w->state = keymap ? xkb_state_new(keymap) : nullptr;
    xkb_keymap_unref(keymap);
}
void keyEnter(void* data, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
    static_cast<Window*>(data)->focused = true;
}
void key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t code, uint32_t pressed) {
    auto* w = static_cast<Window*>(data);
    char text[16] = {}, hex[40] = {};
    if (w->state && pressed) xkb_state_key_get_utf8(w->state, code + 8, text, sizeof text);
    for (size_t i = 0; text[i]; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", static_cast<unsigned char>(text[i]));
    out("key " + std::to_string(code) + " " + std::to_string(pressed) + (*hex ? " " : "") + hex);
}
void modifiers(void* data, wl_keyboard*, uint32_t, uint32_t down, uint32_t latched, uint32_t locked,
               uint32_t group) {
    if (auto* state = static_cast<Window*>(data)->state)
        xkb_state_update_mask(state, down, latched, locked, 0, 0, group);
}
constexpr wl_keyboard_listener KeyboardListener = {keymap, keyEnter,  ignore,
                                                   key,    modifiers, ignore};

void motion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    out("motion " + std::to_string(wl_fixed_to_int(x)) + " " + std::to_string(wl_fixed_to_int(y)));
}
void enter(void* data, wl_pointer* p, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    motion(data, p, 0, x, y);
}
void button(void*, wl_pointer*, uint32_t, uint32_t, uint32_t code, uint32_t pressed) {
    out("button " + std::to_string(code) + " " + std::to_string(pressed));
}
void discrete(void*, wl_pointer*, uint32_t axis, int32_t steps) {
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) out("notches " + std::to_string(steps));
}
constexpr wl_pointer_listener PointerListener = {enter,  ignore, motion, button,   ignore,
                                                 ignore, ignore, ignore, discrete, ignore};

// Devices come and go with the seat's capabilities (the backend's virtual ones too).
void capabilities(void* data, wl_seat* seat, uint32_t caps) {
    auto* w = static_cast<Window*>(data);
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !w->keyboard) {
        w->keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(w->keyboard, &KeyboardListener, w);
    }
    if ((caps & WL_SEAT_CAPABILITY_POINTER) && !w->pointer) {
        w->pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(w->pointer, &PointerListener, w);
    }
}
constexpr wl_seat_listener SeatListener = {capabilities, ignore};

void ping(void*, xdg_wm_base* shell, uint32_t serial) {
    xdg_wm_base_pong(shell, serial);
}
constexpr xdg_wm_base_listener ShellListener = {ping};

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    static_cast<Window*>(data)->width = width;
    static_cast<Window*>(data)->height = height;
}
constexpr xdg_toplevel_listener ToplevelListener = {toplevelConfigure, ignore, ignore, ignore};

// A first buffer of any size maps the window; the compositor then asks for the output's size.
void surfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto* w = static_cast<Window*>(data);
    xdg_surface_ack_configure(surface, serial);
    const int width = w->width > 0 ? w->width : 64, height = w->height > 0 ? w->height : 64;
    if (width != w->drawnWidth || height != w->drawnHeight)
        draw(w, width, height);
    else
        wl_surface_commit(w->surface);
}
constexpr xdg_surface_listener SurfaceListener = {surfaceConfigure};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* w = static_cast<Window*>(data);
    auto bind = [&](const wl_interface& which, uint32_t version) {
        return wl_registry_bind(registry, name, &which, version);
    };
    const std::string is = interface;
    if (is == wl_compositor_interface.name)
        w->compositor = static_cast<wl_compositor*>(bind(wl_compositor_interface, 4));
    if (is == wl_shm_interface.name) w->shm = static_cast<wl_shm*>(bind(wl_shm_interface, 1));
    if (is == xdg_wm_base_interface.name)
        w->shell = static_cast<xdg_wm_base*>(bind(xdg_wm_base_interface, 1));
    if (is == wl_seat_interface.name) w->seat = static_cast<wl_seat*>(bind(wl_seat_interface, 5));
}
constexpr wl_registry_listener RegistryListener = {global, ignore};

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 1;
    Window w;
    wl_registry_add_listener(wl_display_get_registry(display), &RegistryListener, &w);
    wl_display_roundtrip(display);
    if (!w.compositor || !w.shm || !w.shell || !w.seat) return 2;
    xdg_wm_base_add_listener(w.shell, &ShellListener, &w);
    wl_seat_add_listener(w.seat, &SeatListener, &w);
    w.surface = wl_compositor_create_surface(w.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(w.shell, w.surface);
    xdg_surface_add_listener(surface, &SurfaceListener, &w);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_toplevel_add_listener(toplevel, &ToplevelListener, &w);
    xdg_toplevel_set_fullscreen(toplevel, nullptr);
    wl_surface_commit(w.surface);
    while (wl_display_dispatch(display) >= 0) {
        if (w.fullscreen && w.focused && !w.saidReady) out("ready");
        w.saidReady = w.saidReady || (w.fullscreen && w.focused);
    }
    return 0;
}
