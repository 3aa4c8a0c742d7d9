#include "EvdevDevices.h"

#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/linux/VirtualKeyPositions.h"

namespace platform {

namespace {

constexpr const char NoAccess[] = "Recording needs read access to /dev/input (the input group)";
constexpr const char EventPrefix[] = "event";
// Events read from one device per pass; a flooding device waits for the
// next pass (the descriptor stays readable) instead of starving the rest.
constexpr int MaxEventsPerPass = 4096;
constexpr int MaxWakeupsPerPass = 64;
constexpr int KeyCodeLimit = 256;

void say(const std::string& what) {
    std::fprintf(stderr, "quillpress: input devices: %s\n", what.c_str());
}

bool isEventNode(const char* name) {
    return std::strncmp(name, EventPrefix, sizeof EventPrefix - 1) == 0;
}

uint64_t nowMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000 + static_cast<uint64_t>(ts.tv_nsec) / 1000;
}

bool isPointer(const libevdev* dev) {
    return libevdev_has_event_code(dev, EV_REL, REL_X) ||
           libevdev_has_event_code(dev, EV_REL, REL_WHEEL) ||
           libevdev_has_event_code(dev, EV_KEY, BTN_LEFT);
}

bool isKeyboard(const libevdev* dev) {
    for (unsigned code = 1; code < KeyCodeLimit; ++code)
        if (libevdev_has_event_code(dev, EV_KEY, code) &&
            virtualKeyOfEvdev(static_cast<uint16_t>(code), true))
            return true;
    return false;
}

}  // namespace

struct EvdevDevices::Device {
    Device(std::string n, int f, libevdev* d, bool numLockOn, bool hasNumLockLed)
        : name(std::move(n)), fd(f), dev(d), decoder(numLockOn, hasNumLockLed) {}
    ~Device() {
        libevdev_free(dev);
        ::close(fd);
    }
    std::string name;  // eventN
    int fd;
    libevdev* dev;
    EvdevDecoder decoder;
    bool syncing = false;  // reading libevdev's catch-up after SYN_DROPPED
    bool gone = false;
};

std::string EvdevDevices::unavailableReason(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return std::string(NoAccess) + ": " + directory + ": " + std::strerror(errno);
    std::string refused;
    bool readable = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isEventNode(entry->d_name)) continue;
        const std::string path = directory + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            readable = true;
            break;
        }
        if (refused.empty()) refused = path + ": " + std::strerror(errno);
    }
    ::closedir(dir);
    if (readable) return {};
    return std::string(NoAccess) + ": " +
           (refused.empty() ? "there is no event device in " + directory : refused);
}

EvdevDevices::EvdevDevices(std::string directory) : directory_(std::move(directory)) {
    whyNot_ = unavailableReason(directory_);
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    if (epollFd_ < 0) {
        whyNot_ =
            std::string("Recording cannot wait for the input devices: ") + std::strerror(errno);
        return;
    }
    // udev creates a node and then gives it its group: a node that cannot be
    // opened yet is tried again when its attributes change.
    inotifyFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd_ < 0 ||
        inotify_add_watch(inotifyFd_, directory_.c_str(), IN_CREATE | IN_ATTRIB) < 0) {
        if (whyNot_.empty())
            say("devices plugged in later will not be seen: cannot watch " + directory_ + ": " +
                std::strerror(errno));
    } else {
        epoll_event watch{};
        watch.events = EPOLLIN;
        watch.data.ptr = nullptr;
        epoll_ctl(epollFd_, EPOLL_CTL_ADD, inotifyFd_, &watch);
    }
    scan();
}

EvdevDevices::~EvdevDevices() {
    devices_.clear();
    if (inotifyFd_ >= 0) ::close(inotifyFd_);
    if (epollFd_ >= 0) ::close(epollFd_);
}

void EvdevDevices::scan() {
    DIR* dir = ::opendir(directory_.c_str());
    if (!dir) return;  // whyNot_ says so
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        if (isEventNode(entry->d_name)) names.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : names) open(name);
}

void EvdevDevices::open(const std::string& name) {
    if (!isEventNode(name.c_str())) return;
    for (const auto& device : devices_)
        if (device->name == name) return;
    const std::string path = directory_ + "/" + name;
    // A node we may not read yet (udev has not given it its group) or that
    // is gone already says nothing: the next change of it tries again.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    libevdev* dev = nullptr;
    if (const int rc = libevdev_new_from_fd(fd, &dev); rc < 0) {
        say("cannot read " + path + ": " + std::strerror(-rc));
        ::close(fd);
        return;
    }
    if (!isKeyboard(dev) && !isPointer(dev)) {
        libevdev_free(dev);
        ::close(fd);
        return;
    }
    // Times then read like the capture clock (CLOCK_MONOTONIC).
    if (const int rc = libevdev_set_clock_id(dev, CLOCK_MONOTONIC); rc < 0)
        say("the times of " + path + " are not in the capture clock: " + std::strerror(-rc));
    const bool hasLed = libevdev_has_event_code(dev, EV_LED, LED_NUML);
    const bool numLockOn = hasLed && libevdev_get_event_value(dev, EV_LED, LED_NUML);
    auto device = std::make_unique<Device>(name, fd, dev, numLockOn, hasLed);
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.ptr = device.get();
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &wake) < 0) {
        say("cannot watch " + path + ": " + std::strerror(errno));
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    devices_.push_back(std::move(device));
}

void EvdevDevices::read(std::vector<EvdevInput>* out) {
    if (epollFd_ < 0) return;
    epoll_event ready[MaxWakeupsPerPass];
    const int count = epoll_wait(epollFd_, ready, MaxWakeupsPerPass, 0);
    bool directoryChanged = false;
    for (int i = 0; i < count; ++i) {
        if (ready[i].data.ptr)
            readDevice(*static_cast<Device*>(ready[i].data.ptr), out);
        else
            directoryChanged = true;
    }
    for (size_t i = devices_.size(); i-- > 0;)
        if (devices_[i]->gone) close(i, out);
    if (directoryChanged) readDirectoryChanges(out);
}

void EvdevDevices::readDevice(Device& device, std::vector<EvdevInput>* out) {
    for (int n = 0; n < MaxEventsPerPass; ++n) {
        input_event event{};
        const int rc = libevdev_next_event(
            device.dev, device.syncing ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL,
            &event);
        if (rc == LIBEVDEV_READ_STATUS_SUCCESS) {
            device.decoder.feed(event, out);
        } else if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            // First the SYN_DROPPED itself, then the catch-up events.
            device.syncing = true;
            device.decoder.feed(event, out);
        } else if (rc == -EAGAIN && device.syncing) {
            device.syncing = false;  // caught up: back to the ordinary stream
        } else if (rc == -EAGAIN) {
            return;
        } else {
            const char* name = libevdev_get_name(device.dev);
            say(std::string(name ? name : "a device") + " (" + directory_ + "/" + device.name +
                ") " +
                (rc == -ENODEV ? "went away" : std::string("failed: ") + std::strerror(-rc)) +
                "; what it held is released");
            device.gone = true;
            return;
        }
    }
}

void EvdevDevices::readDirectoryChanges(std::vector<EvdevInput>* out) {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t size = ::read(inotifyFd_, buffer, sizeof buffer);
        if (size <= 0) return;
        for (ssize_t at = 0; at < size;) {
            const auto* change = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + change->len);
            if (change->mask & IN_Q_OVERFLOW) {
                scan();  // changes were lost: look at everything again
                continue;
            }
            if (!change->len) continue;
            const std::string name = change->name;
            // A new node under a name still open: the old device went away
            // without our noticing yet.
            if (change->mask & IN_CREATE) {
                for (size_t i = 0; i < devices_.size(); ++i)
                    if (devices_[i]->name == name) {
                        close(i, out);
                        break;
                    }
            }
            open(name);
        }
    }
}

void EvdevDevices::close(size_t index, std::vector<EvdevInput>* out) {
    Device& device = *devices_[index];
    device.decoder.lost(nowMicroseconds(), out);
    epoll_ctl(epollFd_, EPOLL_CTL_DEL, device.fd, nullptr);
    std::unique_ptr<Device> closing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing = std::move(devices_[index]);
        devices_.erase(devices_.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

bool EvdevDevices::down(uint16_t evdevCode) const {
    constexpr size_t LongBits = CHAR_BIT * sizeof(unsigned long);
    unsigned long keys[KEY_CNT / LongBits + 1];
    if (evdevCode >= KEY_CNT) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& device : devices_) {
        std::memset(keys, 0, sizeof keys);
        if (ioctl(device->fd, EVIOCGKEY(sizeof keys), keys) < 0) continue;
        if (keys[evdevCode / LongBits] >> (evdevCode % LongBits) & 1UL) return true;
    }
    return false;
}

}  // namespace platform
