#pragma once

#include "art/Pose.h"

#include <QString>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

// Keyed motion: poses at moments in time, eased in between. Holding a pose is two keys alike.
class Track {
  public:
    explicit Track(const Pose& start) { keys.push_back({0, start}); }

    // Adds a key; times must grow.
    Track& key(double time, const Pose& pose);
    Pose at(double time) const;

  private:
    struct Key {
        double time;
        Pose pose;
    };
    std::vector<Key> keys;
};

// When each pose of a bed clip shows, in ticks of 24 per second from the clip's start.
struct BedTiming {
    std::vector<double> starts; // one per pose
    double end = 0;             // the start of the last pose, where the still pose returns
    double total = 0;           // ticks of one pass
    std::optional<std::pair<int, int>> loop;

    // The clip whose frames carry this stem; a stem the table lacks stops the run.
    static BedTiming of(const QString& clipName);

    double start(int number) const { return starts.at(number - 1); }
    double loopStart() const { return starts.at(loop->first); }
    // The tick after the loop's last pose, where the loop joins back to its first.
    double loopEnd() const;
    // Position within the looped stretch, 0 at its first pose up to (not including) 1.
    std::optional<double> loopPhase(int number) const;
};

// A swell of cycles between two moments: sin waves under an envelope that is zero at both ends,
// so a motion laid over a track starts and stops without a jump.
inline double pulse(double at, double from, double to, double cycles) {
    if (at <= from || at >= to) return 0;
    const double u = (at - from) / (to - from);
    return std::sin(u * std::numbers::pi) * Blend::wave(u * cycles);
}
