// Life in the bed: which clip the situation asks for, the phone spells, wrapping a clip up and
// the frame of the playing clip.

#include "cat/CatOverlay.h"
#include "platform/Random.h"
#include "sprites/BedClip.h"

using K = Activity::Kind;
using Clip = CatSprite::BedClip;
using Hold = CatSprite::Hold;

namespace {

int clipIndex(QStringView name) {
    return Clip::bedClip(name);
}

} // namespace

const std::vector<CatOverlay::BedParts>& CatOverlay::cutBedClips() {
    // Cut once, so starting a clip and every frame of it allocate nothing.
    static const std::vector<BedParts> cut = [] {
        std::vector<BedParts> out;
        for (const Clip& clip : Clip::bedClips()) {
            const Clip::Parts p = clip.parts();
            BedParts b;
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

std::optional<int> CatOverlay::moodClip(double t) {
    static const int laptop = clipIndex(u"bed_laptop");
    static const int doze = clipIndex(u"bed_doze");
    static const int music = clipIndex(u"bed_music");
    if (focusing) return laptop;
    if (systemSignals_.inCall()) return doze;
    if (breakBedAt && t >= *breakBedAt) return std::nullopt;
    if (systemSignals_.typingSince() && t - *systemSignals_.typingSince() >= 2) return laptop;
    if (systemSignals_.musicPlaying()) return music;
    return std::nullopt;
}

void CatOverlay::playBedClip(int i, bool open, double t) {
    const Clip& clip = Clip::bedClips()[std::size_t(i)];
    bedParts = &cutBedClips()[std::size_t(i)];
    if (open)
        bedRepeats.reset();
    else
        bedRepeats = clip.repeats();
    bedSpeed = clip.speed;
    // The phone comes out: its loops start afresh.
    if (clip.from == Hold::nothing && clip.to == Hold::phone) lastPhoneLoop.reset();
    start(Activity::inBed(i), t);
}

int CatOverlay::nextPhoneLoop() {
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
    const bool afterPlain = lastPhoneLoop && !clips[std::size_t(*lastPhoneLoop)].reaction;
    int choice;
    if (afterPlain && !reactions.isEmpty() && chance(0.25)) {
        choice = reactions[sys.random.uniformInt(0, int(reactions.size()) - 1)];
        lastReaction = choice;
    } else {
        choice = plain[sys.random.uniformInt(0, int(plain.size()) - 1)];
    }
    lastPhoneLoop = choice;
    return choice;
}

void CatOverlay::nextInBed(double t) {
    static const int phoneIn = clipIndex(u"bed_phone_in");
    static const int phoneOut = clipIndex(u"bed_phone_out");
    const std::optional<int> mood = moodClip(t);
    const bool up = wantsUp(t);
    if (bedHold == Hold::phone) {
        // The phone is put away before anything else happens.
        if (!up && !mood && wantsPhone(t))
            playBedClip(nextPhoneLoop(), false, t);
        else
            playBedClip(phoneOut, false, t);
        return;
    }
    if (up) {
        start(Activity::idle(), t); // the decision logic gets it out
        return;
    }
    if (mood) {
        phoneUntil.reset();
        playBedClip(*mood, true, t);
        return;
    }
    if (wantsPhone(t)) {
        playBedClip(phoneIn, false, t);
        return;
    }
    if (t < nextBedClip) return;
    // Nine plain clips and a phone spell, equally likely.
    const int pick = sys.random.uniformInt(0, 9);
    if (pick < 9) {
        playBedClip(pick, false, t);
    } else {
        phoneUntil = t + r(20, 60);
        playBedClip(phoneIn, false, t);
    }
}

void CatOverlay::wrapUpBedClip(double elapsed) {
    if (!bedParts || bedParts->body.empty() || bedParts->bodyTicks <= 0) return;
    const int f = int(elapsed * 24 * bedSpeed);
    const int intro = bedParts->introTicks;
    // The pass under way finishes; then the outro.
    const int passes = f < intro ? 0 : (f - intro) / bedParts->bodyTicks + 1;
    if (!bedRepeats || *bedRepeats > passes) bedRepeats = passes;
}

std::optional<CatSprite> CatOverlay::bedPose(int f) const {
    if (!bedParts || f < 0) return std::nullopt;
    const auto within = [](const std::vector<ClipFrame>& part, int pos) {
        for (const ClipFrame& c : part) {
            if (pos < c.frames) return c.sprite;
            pos -= c.frames;
        }
        return part.back().sprite; // not reached: pos is inside the part
    };
    int pos = f;
    if (pos < bedParts->introTicks) return within(bedParts->intro, pos);
    pos -= bedParts->introTicks;
    const int b = bedParts->bodyTicks;
    if (b > 0) {
        if (!bedRepeats) return within(bedParts->body, pos % b);
        const qint64 bodyAll = qint64(b) * *bedRepeats;
        if (pos < bodyAll) return within(bedParts->body, pos % b);
        pos -= int(bodyAll);
    }
    if (pos < bedParts->outroTicks) return within(bedParts->outro, pos);
    return std::nullopt;
}

void CatOverlay::stepInBed(double t, double elapsed) {
    const std::optional<int> clip = activity.as<activity::InBed>()->clip;
    if (!clip) {
        nextInBed(t);
        return;
    }
    if (wantsUp(t)) {
        wrapUpBedClip(elapsed);
    } else {
        const std::optional<int> mood = moodClip(t);
        if (!mood && !bedRepeats)
            wrapUpBedClip(elapsed); // the mood is over
        else if (mood && *mood != *clip)
            wrapUpBedClip(elapsed); // another mood asks for its own clip
    }
    if (bedPose(int(elapsed * 24 * bedSpeed))) return;
    // The clip is over.
    bedHold = Clip::bedClips()[std::size_t(*clip)].to;
    nextBedClip = t + r(3, 8);
    start(Activity::inBed(std::nullopt), t);
}
