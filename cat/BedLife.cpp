#include "cat/BedLife.h"

#include "frames/BedClip.h"
#include "platform/Settings.h"

namespace {

const QString livesKey = QStringLiteral("catLivesInBed");

int clipIndex(QStringView name) {
    return CatSprite::BedClip::bedClip(name);
}

} // namespace

BedLife::BedLife(Settings& settings)
    : settings(settings), lives(settings.boolean(livesKey).value_or(false)) {}

bool BedLife::belongsInBed(double t, const Situation& s) const {
    if (s.inCall || s.focusing) return true;
    if (s.breakBedAt && t >= *s.breakBedAt) return true;
    if (lives && !s.breakBedAt) return true;
    if (nap) return true;
    return callNap_;
}

bool BedLife::wantsUp(double t, const Situation& s) const {
    if (s.letterToFetch) return true; // it goes to fetch them
    if (s.inCall && !s.focusing) return false;
    if (s.breakNews) return true;
    if (s.focusing) return false;
    if (s.breakBedAt && t >= *s.breakBedAt) return false;
    if (callNap_ && !lives && !nap) return true; // the call is over
    if (!nap) return false;
    return t >= *nap;
}

bool BedLife::wantsPhone(double t, const Situation& s) const {
    if (s.inCall || s.focusing) return false;
    if (s.breakBedAt && t >= *s.breakBedAt) return true; // the phone passes a break
    return phone && t < *phone;
}

std::optional<int> BedLife::moodClip(double t, const Situation& s) const {
    static const int laptop = clipIndex(u"bed_laptop");
    static const int doze = clipIndex(u"bed_doze");
    static const int music = clipIndex(u"bed_music");
    if (s.focusing) return laptop;
    if (s.inCall) return doze;
    if (s.breakBedAt && t >= *s.breakBedAt) return std::nullopt;
    if (s.typingSince && t - *s.typingSince >= 2) return laptop;
    if (s.musicPlaying) return music;
    return std::nullopt;
}

void BedLife::setLives(bool on) {
    lives = on;
    settings.setBoolean(livesKey, on);
}

void BedLife::getIn(double firstClip) {
    lying_ = true;
    hold_ = CatSprite::Hold::nothing;
    nextClip_ = firstClip;
}

void BedLife::getOut() {
    lying_ = false;
    nap.reset();
    callNap_ = false;
}

void BedLife::moveIn() {
    setLives(true);
    nap.reset();
}

void BedLife::moveOut() {
    hold_ = CatSprite::Hold::nothing;
    lying_ = false;
    setLives(false);
    nap.reset();
    callNap_ = false;
}

void BedLife::endNap(double t) {
    if (nap) nap = t;
}

void BedLife::callEnded() {
    if (lives) callNap_ = false;
}

void BedLife::clipEnded(CatSprite::Hold hold, double next) {
    hold_ = hold;
    nextClip_ = next;
}
