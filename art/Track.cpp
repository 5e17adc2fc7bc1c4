#include "art/Track.h"

#include "frames/BedClip.h"

#include <cstdio>
#include <cstdlib>

Track& Track::key(double time, const Pose& pose) {
    keys.push_back({time, pose});
    return *this;
}

Pose Track::at(double time) const {
    if (time <= keys.front().time) return keys.front().pose;
    for (size_t i = 1; i < keys.size(); ++i) {
        if (time <= keys[i].time) {
            const Key& a = keys[i - 1];
            const Key& b = keys[i];
            const double span = b.time - a.time;
            const double t = span > 0 ? (time - a.time) / span : 1;
            return Blend::mix(a.pose, b.pose, Blend::ease(t));
        }
    }
    return keys.back().pose;
}

BedTiming BedTiming::of(const QString& clipName) {
    for (const auto& clip : CatSprite::BedClip::bedClips()) {
        if (clip.name != clipName) continue;
        BedTiming timing;
        double at = 0;
        for (const auto& pose : clip.poses) {
            timing.starts.push_back(at);
            at += pose.frames;
        }
        timing.end = timing.starts.back();
        timing.total = at;
        timing.loop = clip.loop;
        return timing;
    }
    std::fprintf(stderr, "purrlox-art: no bed clip %s\n", qPrintable(clipName));
    std::exit(1);
}

double BedTiming::loopEnd() const {
    const int after = loop->second + 1;
    return after < int(starts.size()) ? starts[after] : total;
}

std::optional<double> BedTiming::loopPhase(int number) const {
    if (!loop || number - 1 < loop->first || number - 1 > loop->second) return std::nullopt;
    return (start(number) - loopStart()) / (loopEnd() - loopStart());
}
