// A fullscreen Wayland window that prints what reaches it, one line per event:
//   placed on SOCKET (fullscreen) | focused | key EVDEV 1|0 | text UTF8 (after a press that types)
//   | motion X Y | button CODE 1|0 | notches N
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "xdg-shell-client-protocol.h"

namespace {

struct Window {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    wl_seat* seat = nullptr;
    wl_surface* surface = nullptr;
    xkb_state* state = nullptr;
    bool placed = false;
};

template <typename... A>
void ignore(void*, A...) {}

// Read once per run: neither the map, its context nor its descriptor is worth giving back.
void keymap(void* data, wl_keyboard*, uint32_t, int fd, uint32_t size) {
    auto* text = static_cast<const char*>(mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
    auto* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    static_cast<Window*>(data)->state = xkb_state_new(xkb_keymap_new_from_string(
        context, text, XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
}
void keyEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
    std::printf("focused\n");
}
void key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t code, uint32_t pressed) {
    char text[16] = {};
    if (pressed) xkb_state_key_get_utf8(static_cast<Window*>(data)->state, code + 8, text, 16);
    std::printf("key %u %u\n", code, pressed);
    if (*text) std::printf("text %s\n", text);
}
void modifiers(void* data, wl_keyboard*, uint32_t, uint32_t down, uint32_t latched, uint32_t locked,
               uint32_t group) {
    xkb_state_update_mask(static_cast<Window*>(data)->state, down, latched, locked, 0, 0, group);
}
constexpr wl_keyboard_listener KeyboardListener = {keymap, keyEnter,  ignore,
                                                   key,    modifiers, ignore};

void motion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    std::printf("motion %d %d\n", wl_fixed_to_int(x), wl_fixed_to_int(y));
}
void button(void*, wl_pointer*, uint32_t, uint32_t, uint32_t code, uint32_t pressed) {
    std::printf("button %u %u\n", code, pressed);
}
void discrete(void*, wl_pointer*, uint32_t axis, int32_t steps) {
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) std::printf("notches %d\n", steps);
}
constexpr wl_pointer_listener PointerListener = {ignore, ignore, motion, button,   ignore,
                                                 ignore, ignore, ignore, discrete, ignore};

void capabilities(void* data, wl_seat* seat, uint32_t caps) {
    static bool keyboard = false, pointer = false;  // devices come with the backend's virtual ones
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !keyboard && (keyboard = true))
        wl_keyboard_add_listener(wl_seat_get_keyboard(seat), &KeyboardListener, data);
    if ((caps & WL_SEAT_CAPABILITY_POINTER) && !pointer && (pointer = true))
        wl_pointer_add_listener(wl_seat_get_pointer(seat), &PointerListener, data);
}
constexpr wl_seat_listener SeatListener = {capabilities, ignore};

// Fullscreen on the test's one output, the window is its size.
void surfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    constexpr int Width = 1280, Height = 720;
    auto* w = static_cast<Window*>(data);
    xdg_surface_ack_configure(surface, serial);
    const int fd = memfd_create("test-window", MFD_CLOEXEC);
    ftruncate(fd, Width * Height * 4);
    wl_shm_pool* pool = wl_shm_create_pool(w->shm, fd, Width * Height * 4);
    wl_surface_attach(
        w->surface,
        wl_shm_pool_create_buffer(pool, 0, Width, Height, Width * 4, WL_SHM_FORMAT_XRGB8888), 0, 0);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_commit(w->surface);
    if (!w->placed) std::printf("placed on %s\n", std::getenv("WAYLAND_DISPLAY"));
    w->placed = true;
}
constexpr xdg_surface_listener SurfaceListener = {surfaceConfigure};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* w = static_cast<Window*>(data);
    auto bind = [&](auto** to, const wl_interface& which, uint32_t version) {
        if (std::strcmp(interface, which.name) == 0)
            *to = static_cast<std::remove_pointer_t<decltype(to)>>(
                wl_registry_bind(registry, name, &which, version));
    };
    bind(&w->compositor, wl_compositor_interface, 4);
    bind(&w->shm, wl_shm_interface, 1);
    bind(&w->shell, xdg_wm_base_interface, 1);
    bind(&w->seat, wl_seat_interface, 5);
}
constexpr wl_registry_listener RegistryListener = {global, ignore};

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 1;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Window w;
    wl_registry_add_listener(wl_display_get_registry(display), &RegistryListener, &w);
    wl_display_roundtrip(display);
    wl_seat_add_listener(w.seat, &SeatListener, &w);
    w.surface = wl_compositor_create_surface(w.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(w.shell, w.surface);
    xdg_surface_add_listener(surface, &SurfaceListener, &w);
    xdg_toplevel_set_fullscreen(xdg_surface_get_toplevel(surface), nullptr);
    wl_surface_commit(w.surface);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
