#pragma once

#include "frames/CatSprite.h"

#include <optional>
#include <vector>

class Random;

// Plays the bed clips: a clip's intro, its body repeated (or until wrapped up) and its outro,
// at the clip's own speed in ticks of 24 per second, and picks the loops of a phone spell.
// Starting a clip and every frame of it allocate nothing.
class BedClipPlayer {
  public:
    // The random source must outlive the player.
    explicit BedClipPlayer(Random& random) : random(random) {}

    // Starts clip `clip` of the bed-clip table; an open clip repeats its body until wrapUp.
    void play(int clip, bool open);
    // The pass of the body under way at `elapsed` seconds finishes; then the outro.
    void wrapUp(double elapsed);
    // The frame at tick `tick` of the clip; none once the clip is over.
    std::optional<CatSprite> pose(int tick) const;
    // The frame `elapsed` seconds into the clip.
    std::optional<CatSprite> poseAt(double elapsed) const {
        return pose(int(elapsed * 24 * speed));
    }
    // Seconds from `elapsed` until the clip shows another frame or ends, at most `horizon`.
    double untilNextPose(double elapsed, double horizon) const;
    // How often the body plays; none while the clip is open.
    std::optional<int> repeats() const { return repeats_; }
    // The next loop of a phone spell: a plain loop, now and then a reaction after a plain one,
    // never the same reaction twice running.
    int nextPhoneLoop();
    std::optional<int> lastPhoneLoop() const { return lastPhoneLoop_; }

  private:
    struct ClipFrame {
        CatSprite sprite;
        int frames;
    };
    // A bed clip cut for playing, with the tick sums the scheduler needs every frame.
    struct Parts {
        std::vector<ClipFrame> intro, body, outro;
        int introTicks = 0, bodyTicks = 0, outroTicks = 0;
    };
    static const std::vector<Parts>& cutClips();

    Random& random;
    const Parts* parts = nullptr; // the playing clip's cut, from cutClips()
    std::optional<int> repeats_;
    double speed = 1.0;
    std::optional<int> lastPhoneLoop_;
    std::optional<int> lastReaction;
};
