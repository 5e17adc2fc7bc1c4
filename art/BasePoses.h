#pragma once

#include "art/Pose.h"

// The handful of postures every family starts from, so the cat keeps one build everywhere.
namespace BasePoses {

// On the floor, all four paws on the feet line (canvas y 80).
Pose standing();
Pose sitting();
// Lying in the bed, looking out: the still pose between bed clips.
Pose bedStill();
// The same, holding the phone and looking at it.
Pose bedPhone();

inline constexpr double feetLine = 80;

} // namespace BasePoses
