#pragma once
// The keyboards and pointers under an input directory (/dev/input), read
// with libevdev: every readable event device that has keys or a pointer is
// opened and decoded, devices that appear later are picked up, and devices
// that go away are closed with what they held released.
//
// One epoll descriptor wakes for all of it. read() and the constructor
// belong to one thread (the GUI's); down() may be asked from any thread.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EvdevDecoder.h"

namespace platform {

class EvdevDevices {
public:
    // Opens what it can under directory now and watches it for more.
    explicit EvdevDevices(std::string directory);
    ~EvdevDevices();
    EvdevDevices(const EvdevDevices&) = delete;
    EvdevDevices& operator=(const EvdevDevices&) = delete;

    // Why nothing can be recorded from directory, one line; empty when some
    // event device in it can be opened for reading.
    static std::string unavailableReason(const std::string& directory);
    // The same, as found when this object scanned the directory.
    const std::string& whyNot() const { return whyNot_; }

    // Readable when a device or the directory has something new.
    int descriptor() const { return epollFd_; }
    // Reads everything pending without blocking: devices' inputs in the
    // order read (deliverInTimeOrder merges them), new devices opened,
    // vanished ones released and closed.
    void read(std::vector<EvdevInput>* out);
    // Whether any open device holds the key or button (an evdev code) now.
    bool down(uint16_t evdevCode) const;

private:
    struct Device;
    void scan();
    void open(const std::string& name);
    void readDevice(Device& device, std::vector<EvdevInput>* out);
    void readDirectoryChanges(std::vector<EvdevInput>* out);
    void close(size_t index, std::vector<EvdevInput>* out);

    std::string directory_;
    std::string whyNot_;
    int epollFd_ = -1;
    int inotifyFd_ = -1;
    mutable std::mutex mutex_;  // devices_ changes, against down()
    std::vector<std::unique_ptr<Device>> devices_;
};

}  // namespace platform
