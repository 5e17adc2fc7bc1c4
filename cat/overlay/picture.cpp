// Turns the engine state into the picture: the sprite and its small deformations, where the
// caption sits, and where the panel goes so the cat stands at x and any bubble stays on screen.

#include "cat/CatOverlay.h"
#include "platform/Panel.h"

#include <cmath>
#include <numbers>

using K = Activity::Kind;

namespace {

constexpr double pi = std::numbers::pi;

// The pull-over frames, in the order the cat climbs over a top edge.
constexpr CatSprite::Case overSprites[4] = {CatSprite::over1, CatSprite::over2, CatSprite::over3,
                                            CatSprite::over4};

CatSprite snackStepAt(double e) {
    const auto& steps = CatSprite::snack();
    double end = 0;
    for (const auto& step : steps) {
        end += step.seconds;
        if (e < end) return step.sprite;
    }
    return steps.back().sprite;
}

} // namespace

void CatOverlay::updateSprite(double t) {
    const double e = t - activityStart;
    const bool letter = letterQueue_.carried();
    const CatSprite sit = letter ? CatSprite::sitLetter : CatSprite::sit;
    // Engine dates count from the reference date, so the wobbles are in phase with it.
    const double ph = 2 * pi * t;

    CatSprite sprite = sit;
    double squash = 1;
    double tilt = 0;
    bool swaying = false; // squash and tilt go back and forth: their pictures come again
    QPointF anchor(0.5, 1.0);
    double captionX = 0;
    const bool lying = bedLife_.lying();
    double captionHeight = lying ? bedHeadroom() : sitHeadroom();

    switch (activity.kind()) {
    case K::walking:
    case K::away: {
        const auto& loop = gait().loop();
        sprite = loop[std::size_t(int(stepPhase * gait().fps)) % loop.size()];
        break;
    }
    case K::yawning:
        sprite = CatSprite::yawn;
        break;
    case K::climbingUp:
    case K::climbingDown: {
        const auto& loop = CatSprite::climbLoop();
        const int i = int(stepPhase) % 4;
        sprite = loop[std::size_t(activity.is(K::climbingUp) ? i : 3 - i)];
        // To half degrees: the wobble then shows a handful of poses, each seen again.
        tilt = std::round(3 * std::sin(stepPhase * pi / 2)) / 2;
        swaying = true;
        state.setFacingRight(true);
        break;
    }
    case K::pullingUp:
        sprite = overSprites[std::min(int(e / 0.28), 3)];
        break;
    case K::lowering:
        sprite = overSprites[std::max(3 - int(e / 0.28), 0)];
        break;
    case K::falling:
        sprite = CatSprite::fall;
        break;
    case K::jumping:
        if (activity.as<activity::Jumping>()->crouch && e < 0.2) {
            sprite = sit;
            squash = 1 - 0.15 * e / 0.2;
        } else {
            sprite = gait().loop().front();
            squash = 1.04;
        }
        break;
    case K::stalking:
        sprite = CatSprite::huntAmbush;
        if (e > 0.9) tilt = 2 * std::sin(7 * ph);
        swaying = true;
        break;
    case K::pouncing: {
        sprite = CatSprite::huntPounce;
        const auto* p = activity.as<activity::Pouncing>();
        const double distance = std::hypot(p->to.x() - p->from.x(), p->to.y() - p->from.y());
        tilt = (std::min(e / (distance / 1400 + 0.4), 1.0) - 0.3) * 25;
        if (!state.facingRight()) tilt = -tilt;
        break;
    }
    case K::catching:
        sprite = CatSprite::huntCaught;
        break;
    case K::inBed: {
        const CatSprite resting = bedLife_.hold() == CatSprite::Hold::phone
                                      ? CatSprite::bedPhoneScroll1
                                      : CatSprite::bedLook1;
        if (activity.as<activity::InBed>()->clip) {
            sprite = bedClips.poseAt(e).value_or(resting);
        } else {
            sprite = resting;
            squash = 1 + 0.008 * std::sin(0.4 * ph);
            swaying = true;
        }
        break;
    }
    case K::idle:
        if (holding_.happy(t))
            sprite = CatSprite::happy;
        else if (t < blinkUntil)
            sprite = letter ? CatSprite::sitLetterBlink : CatSprite::sitBlink;
        break;
    case K::reading:
        sprite = lying ? CatSprite::bedLook1 : sit;
        break;
    case K::petting: {
        sprite = letter ? CatSprite::petLetter : CatSprite::pet;
        const double k = std::min(2 * e, 1.0);
        squash = 1 + k * 0.015 * std::sin(1.3 * ph);
        tilt = k * 2.5 * std::sin(0.65 * ph);
        swaying = k == 1;
        break;
    }
    case K::snacking: {
        sprite = snackStepAt(e);
        if (sprite == CatSprite::snackEat6)
            tilt = 1.5 * std::sin(0.6 * ph);
        else if (sprite == CatSprite::snackGet5)
            tilt = 2 * std::sin(0.7 * ph);
        else if (sprite == CatSprite::snackGet3)
            tilt = 1.2 * std::sin(3 * ph);
        double base = 1 + 0.012 * std::sin(0.8 * ph);
        if (sprite.isChewing()) base += 0.015 * std::sin(3 * ph);
        squash = (std::min(e / 0.1, 1.0) * 0.015 + 0.985) * base;
        swaying = e >= 0.1;
        break;
    }
    case K::sleeping:
        sprite = CatSprite::sleep;
        squash = 1 + 0.025 * std::sin(2.1 * t); // plain seconds: a slow breath
        swaying = true;
        break;
    case K::held: {
        const Holding::Pose pose = holding_.pose();
        sprite = pose.sprite;
        squash = pose.squash;
        tilt = pose.tilt;
        swaying = true;
        anchor = pose.anchor;
        captionX = pose.captionAt.x();
        captionHeight = pose.captionAt.y();
        break;
    }
    case K::landing:
        sprite = CatSprite::land;
        squash = 0.85 + 0.15 * std::min(e / 0.45, 1.0);
        break;
    case K::eating: {
        const bool first = std::fmod(e - 0.5, 0.6) < 0.3;
        if (lying)
            sprite = e < 0.5    ? CatSprite::bedYawn11
                     : e >= 1.9 ? CatSprite::bedLook1
                     : first    ? CatSprite::bedSausage43
                                : CatSprite::bedSausage44;
        else
            sprite = e < 0.5    ? CatSprite::gulp
                     : e >= 1.9 ? CatSprite::happy
                     : first    ? CatSprite::snackEat2
                                : CatSprite::snackEat4;
        break;
    }
    case K::waving:
        sprite = int(5 * e) % 2 == 0 ? CatSprite::wave1 : CatSprite::wave2;
        break;
    }

    // The pop after a snack starts or ends and after a jump lands.
    const double p = (t - holding_.popStart()) / Holding::popSeconds;
    if (p < 1) {
        squash *= 0.93 + 0.07 * std::sin(p * pi / 2);
        swaying = false;
    }

    // A file dragged over the cat: mouth open.
    if (holding_.dragHover()) sprite = lying ? CatSprite::bedYawn11 : CatSprite::gulp;

    state.setSprite(sprite);
    state.setHop(0);
    state.setSquash(squash);
    state.setTilt(tilt);
    state.setSwaying(swaying);
    state.setAnchor(anchor);
    state.setSleeping(activity.is(K::sleeping));
    state.setCaptionAt(QPointF(captionX, captionHeight));
    state.setHearts(activity.is(K::petting) || holding_.happy(t));
}

void CatOverlay::setBubbleLeaving(bool leaving) {
    if (leaving == bubbleLeaving) return;
    bubbleLeaving = leaving;
    layout();
}

void CatOverlay::layout() {
    if (!panel) return;
    const bool letterOpen = state.reading() != nullptr;
    const bool shown = letterOpen || state.eaten() != nullptr;
    if (shown) letterQueue_.bubbleShows();
    // A closed bubble keeps its room while it shrinks away.
    const bool report = (shown || bubbleLeaving) && letterQueue_.reportBubble();
    const bool bubble = shown || bubbleLeaving;

    double w = 130, h = 150;
    if (report) {
        w = 340;
        h = 660;
    } else if (bubble) {
        w = 300;
        h = 390;
    } else if (activity.is(K::held)) {
        w = 200;
        h = 150;
    } else if (captionBoard.showsNotice()) {
        w = 360; // a notice names a file: wider than the cat
    }
    // A walking cat's panel keeps to its shown picture; the walk itself goes on smoothly.
    const double shownX = !activity.is(K::walking) ? x
                          : state.facingRight()    ? x - sinceShown
                                                   : x + sinceShown;
    const Rect vf = screenFrame();
    double originX = shownX - w / 2;
    const double originY = feetY - 16;
    if (report) h = std::max(std::min(vf.maxY() - originY, h), 150.0);
    if (bubble) {
        // The panel may hang over a screen edge only as far as keeps the bubble on screen.
        const double bw = report ? 290 : 250;
        const double n = (w - bw) / 2 - 6;
        originX = std::min(std::max(originX, vf.minX() - n), vf.maxX() - w + n);
    } else if (w == 360) {
        originX = std::min(std::max(originX, vf.minX()), vf.maxX() - w);
    }
    // The cat stays at x while the panel is shifted.
    state.setCatOffset(shownX - (originX + w / 2));

    const Rect current = panel->frame();
    const Rect wanted{originX, originY, w, h};
    if (current != wanted) panel->setFrame(wanted);
}
