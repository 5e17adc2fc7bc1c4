#include "cat/BedClipPlayer.h"

#include "frames/BedClip.h"
#include "platform/Random.h"

#include <QVarLengthArray>
#include <algorithm>

using Clip = CatSprite::BedClip;
using Hold = CatSprite::Hold;

const std::vector<BedClipPlayer::Parts>& BedClipPlayer::cutClips() {
    // Cut once, so starting a clip and every frame of it allocate nothing.
    static const std::vector<Parts> cut = [] {
        std::vector<Parts> out;
        for (const Clip& clip : Clip::bedClips()) {
            const Clip::Parts p = clip.parts();
            Parts b;
            const auto copy = [](const std::vector<Clip::Pose>& from, std::vector<ClipFrame>& to,
                                 int& ticks) {
                for (const Clip::Pose& pose : from) {
                    to.push_back(ClipFrame{pose.sprite, pose.frames});
                    ticks += pose.frames;
                }
            };
            copy(p.intro, b.intro, b.introTicks);
            copy(p.body, b.body, b.bodyTicks);
            copy(p.outro, b.outro, b.outroTicks);
            out.push_back(std::move(b));
        }
        return out;
    }();
    return cut;
}

void BedClipPlayer::play(int i, bool open) {
    const Clip& clip = Clip::bedClips()[std::size_t(i)];
    parts = &cutClips()[std::size_t(i)];
    if (open)
        repeats_.reset();
    else
        repeats_ = clip.repeats();
    speed = clip.speed;
    // The phone comes out: its loops start afresh.
    if (clip.from == Hold::nothing && clip.to == Hold::phone) lastPhoneLoop_.reset();
}

int BedClipPlayer::nextPhoneLoop() {
    const auto& clips = Clip::bedClips();
    QVarLengthArray<int, 8> plain, reactions;
    for (int i = 0; i < int(clips.size()); ++i) {
        const Clip& c = clips[std::size_t(i)];
        if (c.from != Hold::phone || c.to != Hold::phone) continue;
        if (!c.reaction)
            plain.append(i);
        else if (i != lastReaction)
            reactions.append(i);
    }
    const bool afterPlain = lastPhoneLoop_ && !clips[std::size_t(*lastPhoneLoop_)].reaction;
    int choice;
    // uniform() includes its upper end; a draw of exactly 1 never passes p ≤ 1 anyway.
    if (afterPlain && !reactions.isEmpty() && random.uniform(0.0, 1.0) < 0.25) {
        choice = reactions[random.uniformInt(0, int(reactions.size()) - 1)];
        lastReaction = choice;
    } else {
        choice = plain[random.uniformInt(0, int(plain.size()) - 1)];
    }
    lastPhoneLoop_ = choice;
    return choice;
}

void BedClipPlayer::wrapUp(double elapsed) {
    if (!parts || parts->body.empty() || parts->bodyTicks <= 0) return;
    const int f = int(elapsed * 24 * speed);
    const int intro = parts->introTicks;
    // The pass under way finishes; then the outro.
    const int passes = f < intro ? 0 : (f - intro) / parts->bodyTicks + 1;
    if (!repeats_ || *repeats_ > passes) repeats_ = passes;
}

double BedClipPlayer::untilNextPose(double elapsed, double horizon) const {
    const double tick = 1 / (24 * speed);
    const int f = int(elapsed / tick);
    const std::optional<CatSprite> shown = pose(f);
    const int last = f + int(horizon / tick) + 1;
    for (int g = f + 1; g <= last; ++g)
        if (pose(g) != shown) return std::clamp(g * tick - elapsed, 0.0, horizon);
    return horizon;
}

std::optional<CatSprite> BedClipPlayer::pose(int f) const {
    if (!parts || f < 0) return std::nullopt;
    const auto within = [](const std::vector<ClipFrame>& part, int pos) {
        for (const ClipFrame& c : part) {
            if (pos < c.frames) return c.sprite;
            pos -= c.frames;
        }
        return part.back().sprite; // not reached: pos is inside the part
    };
    int pos = f;
    if (pos < parts->introTicks) return within(parts->intro, pos);
    pos -= parts->introTicks;
    const int b = parts->bodyTicks;
    if (b > 0) {
        if (!repeats_) return within(parts->body, pos % b);
        const qint64 bodyAll = qint64(b) * *repeats_;
        if (pos < bodyAll) return within(parts->body, pos % b);
        pos -= int(bodyAll);
    }
    if (pos < parts->outroTicks) return within(parts->outro, pos);
    return std::nullopt;
}
