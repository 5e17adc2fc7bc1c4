#pragma once

// Reaches the overlay's private state so tests and benchmarks can set up a moment directly.

#include "cat/CatOverlay.h"

class CatOverlayProbe {
  public:
    explicit CatOverlayProbe(CatOverlay& o) : o(o) {}
    double& x() { return o.x; }
    double& feetY() { return o.feetY; }
    Platform& platform() { return o.platform; }
    Activity& activity() { return o.activity; }
    double& activityStart() { return o.activityStart; }
    double& stepPhase() { return o.stepPhase; }
    double& blinkUntil() { return o.blinkUntil; }
    double& nextBlink() { return o.nextBlink; }
    double& nextWander() { return o.nextWander; }
    double& nextSnack() { return o.nextSnack; }
    double& nextYawn() { return o.nextYawn; }
    bool hasFrameClock() const { return o.frameClock != nullptr; }
    Ticker* ticker() { return o.frameClock.get(); }
    SystemSignals& systemSignals() { return o.systemSignals_; }
    bool huntIfPrey() { return o.huntIfPrey(o.now()); }
    // The engine's own steps, at one exact moment or now.
    void start(const Activity& a, double t) { o.start(a, t); }
    void start(const Activity& a) { o.start(a, o.now()); }
    void decide(double t) { o.decide(t); }
    void arrive(const Arrival& arrival, double t) { o.arrive(arrival, t); }
    void arrive(const Arrival& arrival) { o.arrive(arrival, o.now()); }
    void updateSprite(double t) { o.updateSprite(t); }
    void layout() { o.layout(); }
    // Stands the cat on a window's top at x, or on the floor, as it is.
    void standOn(const DesktopWindow& w, double atX) {
        o.platform = Platform::on(w);
        o.x = atX;
        o.feetY = w.frame.maxY();
    }
    void putOnFloor(double atX) {
        o.platform = Platform::floor();
        o.x = atX;
        o.feetY = o.floorY();
    }
    void putInBed() { o.landInBed(o.now()); }
    // Every timer of the cat's own far away: it does nothing of itself any more.
    void postponeTimers() {
        const double t = o.now() + 1e6;
        o.nextWander = o.nextSnack = o.nextYawn = o.nextBlink = t;
        o.climbing_.climbAt(t);
        o.hunting_.huntAt(t);
    }
    // Puts the cat idle on the floor at x with every timer far away.
    void settle(double atX) {
        o.setDown(atX);
        postponeTimers();
    }

  private:
    CatOverlay& o;
};
