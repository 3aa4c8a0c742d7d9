#pragma once
// The lines FakePlatform::calls() gives for sent records, for expectations.

#include <string>

inline std::string key(int vk, int scan, int flags) {
    return "sendInput key vk=" + std::to_string(vk) + " scan=" + std::to_string(scan) +
           " flags=" + std::to_string(flags);
}

inline std::string mouse(int dx, int dy, int data, int flags) {
    return "sendInput mouse dx=" + std::to_string(dx) + " dy=" + std::to_string(dy) +
           " data=" + std::to_string(data) + " flags=" + std::to_string(flags);
}
