#pragma once

#include "art/Pose.h"

#include <QString>
#include <optional>

// An image name cut into its family stem and frame number ("bed_doze_21" -> "bed_doze", 21);
// number is 0 for a frame without one ("sit_blink").
struct FrameName {
    QString stem;
    int number = 0;

    static FrameName split(const QString& imageName);
};

// Each family group answers the poses of its own frames and nothing for any other name.
namespace Families {

std::optional<Pose> walking(const FrameName& name);  // WalkFrames.cpp
std::optional<Pose> everyday(const FrameName& name); // FloorFrames.cpp
std::optional<Pose> snacking(const FrameName& name); // SnackFrames.cpp
std::optional<Pose> hanging(const FrameName& name);  // ClimbFrames.cpp, HeldFrames.cpp
std::optional<Pose> held(const FrameName& name);
std::optional<Pose> inBed(const FrameName& name);   // BedFrames.cpp
std::optional<Pose> gadgets(const FrameName& name); // GadgetFrames.cpp
std::optional<Pose> phone(const FrameName& name);   // PhoneFrames.cpp

} // namespace Families
