// A fullscreen Wayland window that prints what reaches it, one line per event:
//   ready | key EVDEV 1|0 HEX-OF-TEXT | motion X Y | button CODE 1|0 | notches N
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
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
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    int width = 0, height = 0;  // as the compositor asks; 0 before it has placed the window
    int drawnWidth = 0, drawnHeight = 0;
    bool drawn = false, focused = false, saidReady = false;
};

void out(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void maybeReady(Window* w) {
    if (w->drawn && w->focused && !w->saidReady) out("ready");
    w->saidReady = w->saidReady || (w->drawn && w->focused);
}

void draw(Window* w, int width, int height) {
    const int stride = width * 4, size = stride * height;
    const int fd = memfd_create("test-client", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) return;
    wl_shm_pool* pool = wl_shm_create_pool(w->shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(w->surface, buffer, 0, 0);
    wl_surface_damage(w->surface, 0, 0, width, height);
    wl_surface_commit(w->surface);
    w->drawnWidth = width;
    w->drawnHeight = height;
    // Ready once drawn at the size the compositor chose (fullscreen).
    w->drawn = width == w->width && height == w->height;
}

void keymap(void* data, wl_keyboard*, uint32_t, int fd, uint32_t size) {
    auto* w = static_cast<Window*>(data);
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    if (w->state) xkb_state_unref(w->state);
    if (w->keymap) xkb_keymap_unref(w->keymap);
    w->keymap = xkb_keymap_new_from_string(w->xkb, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1,
                                           XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    w->state = w->keymap ? xkb_state_new(w->keymap) : nullptr;
}
void keyEnter(void* data, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
    static_cast<Window*>(data)->focused = true;
    maybeReady(static_cast<Window*>(data));
}
void keyLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t code, uint32_t pressed) {
    auto* w = static_cast<Window*>(data);
    char text[16] = {}, hex[40] = {};
    if (w->state && pressed) xkb_state_key_get_utf8(w->state, code + 8, text, sizeof text);
    for (size_t i = 0; text[i]; ++i) std::snprintf(hex + 2 * i, 3, "%02x", static_cast<unsigned char>(text[i]));
    out("key " + std::to_string(code) + " " + std::to_string(pressed) + (*hex ? " " : "") + hex);
}
void modifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
               uint32_t group) {
    auto* w = static_cast<Window*>(data);
    if (w->state) xkb_state_update_mask(w->state, depressed, latched, locked, 0, 0, group);
}
void repeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
constexpr wl_keyboard_listener KeyboardListener = {keymap, keyEnter, keyLeave, key, modifiers, repeatInfo};

void motionAt(wl_fixed_t x, wl_fixed_t y) {
    out("motion " + std::to_string(wl_fixed_to_int(x)) + " " + std::to_string(wl_fixed_to_int(y)));
}
void pointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) { motionAt(x, y); }
void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void motion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) { motionAt(x, y); }
void button(void*, wl_pointer*, uint32_t, uint32_t, uint32_t code, uint32_t pressed) {
    out("button " + std::to_string(code) + " " + std::to_string(pressed));
}
void axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void frame(void*, wl_pointer*) {}
void axisSource(void*, wl_pointer*, uint32_t) {}
void axisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void axisDiscrete(void*, wl_pointer*, uint32_t axis, int32_t steps) {
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) out("notches " + std::to_string(steps));
}
void axisValue120(void*, wl_pointer*, uint32_t, int32_t) {}  // not sent: the seat is bound at version 5
constexpr wl_pointer_listener PointerListener = {pointerEnter, pointerLeave, motion,       button,      axis,
                                                 frame,        axisSource,   axisStop, axisDiscrete, axisValue120};

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
void seatName(void*, wl_seat*, const char*) {}
constexpr wl_seat_listener SeatListener = {capabilities, seatName};

void ping(void*, xdg_wm_base* shell, uint32_t serial) { xdg_wm_base_pong(shell, serial); }
constexpr xdg_wm_base_listener ShellListener = {ping};

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    auto* w = static_cast<Window*>(data);
    w->width = width;
    w->height = height;
}
void toplevelClose(void*, xdg_toplevel*) {}
void toplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}  // newer versions only, like the next
void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}
constexpr xdg_toplevel_listener ToplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds,
                                                    toplevelCapabilities};

void surfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto* w = static_cast<Window*>(data);
    xdg_surface_ack_configure(surface, serial);
    // A first buffer of any size maps the window; the compositor then asks for the output's size.
    const int width = w->width > 0 ? w->width : 64, height = w->height > 0 ? w->height : 64;
    if (width != w->drawnWidth || height != w->drawnHeight) draw(w, width, height);
    else wl_surface_commit(w->surface);
}
constexpr xdg_surface_listener SurfaceListener = {surfaceConfigure};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* w = static_cast<Window*>(data);
    const std::string which = interface;
    if (which == wl_compositor_interface.name)
        w->compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (which == wl_shm_interface.name)
        w->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (which == xdg_wm_base_interface.name)
        w->shell = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (which == wl_seat_interface.name)
        w->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 5));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener RegistryListener = {global, globalRemove};

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
    while (wl_display_dispatch(display) >= 0) maybeReady(&w);
    return 0;
}
