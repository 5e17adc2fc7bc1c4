#include "frames/BedClip.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <numeric>

namespace {

using BedClip = CatSprite::BedClip;
using Hold = CatSprite::Hold;

std::vector<int> ones(int count) {
    return std::vector<int>(count, 1);
}

std::vector<int> join(std::initializer_list<std::vector<int>> runs) {
    std::vector<int> out;
    for (const auto& run : runs)
        out.insert(out.end(), run.begin(), run.end());
    return out;
}

// Pose k of a clip shows frame k of the clip's own family, "<name>_<k>".
std::vector<BedClip::Pose> poses(const QString& name, const std::vector<int>& frames) {
    std::vector<BedClip::Pose> out;
    out.reserve(frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        const QString image = name + u'_' + QString::number(i + 1);
        const auto sprite = CatSprite::fromRawValue(image);
        if (!sprite) qFatal("bed clip %s has no frame %s", qPrintable(name), qPrintable(image));
        out.push_back({*sprite, frames[i]});
    }
    return out;
}

BedClip clip(const char* name, const std::vector<int>& frames) {
    BedClip c;
    c.name = QString::fromLatin1(name);
    c.poses = poses(c.name, frames);
    return c;
}

BedClip looped(BedClip c, int first, int last, double seconds, bool swing = false) {
    c.loop = std::pair(first, last);
    c.seconds = seconds;
    c.swing = swing;
    return c;
}

BedClip holding(BedClip c, Hold from, Hold to, double speed = 1.0, bool reaction = false) {
    c.from = from;
    c.to = to;
    c.speed = speed;
    c.reaction = reaction;
    return c;
}

std::vector<BedClip> table() {
    const Hold none = Hold::nothing;
    const Hold phone = Hold::phone;
    // clang-format off
    return {
        clip("bed_look", {1,2,7,2,2,2,1,1,2,21,2,2,2,2,2,27,2,2,2,1,1,2,16,2,2,2,10}),
        clip("bed_groom", {1,15,1,1,2,2,3,2,1,2,2,2,2,2,2,2,2,2,2,2,2,2,2,1,2,2,2,2,2,2,2,2,2,2,2,
                           2,2,2,2,3,2,2,2,24}),
        clip("bed_sausage", {1,2,3,2,1,1,2,2,2,1,3,1,1,1,2,2,2,3,2,2,2,4,2,2,3,2,2,2,2,2,2,2,2,2,2,
                             2,2,2,2,2,2,2,2,2,2,2,1,12,2,2,1,11}),
        looped(clip("bed_doze", {1,2,10,2,2,2,2,2,2,2,2,3,2,2,2,2,2,2,2,2,2,6,2,2,1,1,1,2,3,2,2,2,
                                 2,2,2,2,2,2,5,2,2,2,2,2,2,17}), 21, 37, 15),
        clip("bed_knead", {1,2,11,2,1,2,1,1,3,1,1,3,1,1,2,1,2,2,1,2,2,1,2,2,1,2,2,1,2,2,1,2,2,1,2,
                           2,1,2,2,1,2,1,1,1,1,1,1,1,1,3,1,2,2,2,2,24}),
        clip("bed_yawn", {1,2,12,2,3,1,2,2,2,2,2,11,2,1,2,3,6,6,3,3,13,3,1,2,3,30}),
        looped(clip("bed_music", {1,2,3,2,1,2,2,2,2,2,2,1,1,2,1,2,1,1,2,1,1,2,1,1,2,1,1,2,1,1,2,1,
                                  1,2,1,1,2,1,1,3,2,2,2,2,2,2,2,2,2,2,3,2,2,2,2,1,1,2,1,1,3,2,2,2,
                                  2,2,2,7}), 27, 46, 15),
        looped(clip("bed_laptop", join({{1,5,2,1,1,1,1,1,1,3,1,2,1,1,2,1,3,1,1,1,1,1,1,2}, ones(41),
                                        {2,2,2,5,1,1,3,1,2,1,1,2,2,2,1,1,2,1,1,2,1,1,6}})),
               39, 62, 15),
        looped(clip("bed_cocoa", {1,2,4,2,2,2,2,2,2,2,2,2,2,2,2,2,1,1,1,1,1,1,4,2,2,6,2,2,2,2,2,2,
                                  2,2,2,2,6,2,2,2,2,4,2,2,2,2,2,2,2,2,2,2,9}), 25, 36, 10, true),
        holding(clip("bed_phone_in", {1,1,1,2,3,2,1,2,2,2,2,1,1,2,2,2,2,1,2,1,2,2,1,2,1,2,1,1,2,2,
                                      1,1,2,2,1,1,2,2,1,1,2,3,3,7,4,2,3,2,2,2,4,7,11,5}),
                none, phone, 1.4),
        holding(clip("bed_phone_scroll", {1,1,1,1,1,1,2,3,1,2,1,2,3,3,4,5,1,2,3,2,3,3,2,2,4,4,1,1,
                                          4,4,2,3,5,1,1,1,1,1,2,4,1,1,1,1,2,2,2,5,10,6}),
                phone, phone),
        holding(clip("bed_phone_watch", {1,1,1,2,3,9,1,2,1,1,1,1,1,1,2,3,6,2,2,2,2,2,4,7,4,1,1,1,
                                         1,1,1,1,1,2,4,4,1,2,3,2,2,6,13,11}),
                phone, phone),
        holding(clip("bed_phone_giggle", {1,1,1,2,3,5,1,2,1,1,1,1,1,1,2,1,2,1,1,2,2,1,3,2,1,1,2,2,
                                          1,3,3,2,1,3,3,2,1,1,2,2,1,3,3,2,1,2,1,1,1,1,1,1,1,2,3,5,
                                          2,2,2,2,9,5}),
                phone, phone, 1.0, true),
        holding(clip("bed_phone_like", join({{1,1,1,2,2,2,2,1,1,1,2,2,2,2,3,4,2,1,2}, ones(45),
                                             {2,3,2,2,2,4,6,10,10}})),
                phone, phone, 1.0, true),
        holding(clip("bed_phone_roll", join({{1,1,1,2,3,5,2}, ones(48), {2}, ones(6),
                                             {2,1,1,2,2,2,2,2,2,2,2,2,2,4,2,2,2,5,10}})),
                phone, phone, 1.0, true),
        holding(clip("bed_phone_out", join({{1,1,1,2,2,6,13,9,1,1,1,1,2}, ones(18),
                                            {2,1,2,1,2,1,1,2,2,1,2,2,4,1,2,1,2,1,1,1,1,1,1,1,2,3,3,
                                             5,3,9}})),
                phone, none, 1.4),
    };
    // clang-format on
}

int ticks(const std::vector<BedClip::Pose>& poses) {
    return std::accumulate(poses.begin(), poses.end(), 0,
                           [](int sum, const BedClip::Pose& p) { return sum + p.frames; });
}

} // namespace

CatSprite::BedClip::Parts CatSprite::BedClip::parts() const {
    Parts parts;
    if (!loop) {
        parts.intro = poses;
        return parts;
    }
    const auto [a, b] = *loop;
    const auto at = [&](int i) { return poses.begin() + i; };
    parts.intro.assign(at(0), at(a));
    parts.body.assign(at(a), at(b + 1));
    if (!swing) {
        parts.outro.assign(at(b + 1), poses.end());
        return parts;
    }
    // Ping-pong: back down the stretch without repeating either end; the outro then plays the
    // stretch forwards once more and the rest of the clip.
    if (parts.body.size() > 2)
        parts.body.insert(parts.body.end(), std::make_reverse_iterator(at(b)),
                          std::make_reverse_iterator(at(a + 1)));
    parts.outro.assign(at(a), poses.end());
    return parts;
}

int CatSprite::BedClip::repeats() const {
    const Parts p = parts();
    if (!seconds || p.body.empty()) return 0;
    const double rest = *seconds * 24 - (ticks(p.intro) + ticks(p.outro));
    return std::max(1, int(std::round(rest / ticks(p.body))));
}

const std::vector<CatSprite::BedClip>& CatSprite::BedClip::bedClips() {
    static const std::vector<BedClip> clips = table();
    return clips;
}

int CatSprite::BedClip::bedClip(QStringView name) {
    const auto& clips = bedClips();
    for (size_t i = 0; i < clips.size(); ++i)
        if (clips[i].name == name) return int(i);
    qFatal("no bed clip %s", qPrintable(name.toString()));
}
