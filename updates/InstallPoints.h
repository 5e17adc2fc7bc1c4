#pragma once

// Test seam: the install passes "unpacked", "copied" and "swapped"; the kill -9 tests stop the
// process at one of them.
namespace InstallPoints {

inline void (*reached)(const char* point) = nullptr;

inline void reach(const char* point) {
    if (reached) reached(point);
}

} // namespace InstallPoints
