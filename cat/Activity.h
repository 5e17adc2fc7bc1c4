#pragma once

#include "cat/DesktopWindow.h"

#include <QPointF>
#include <QString>
#include <optional>
#include <variant>

// What happens when a walk reaches its target.
struct Arrival {
    enum class Kind { climb, transfer, rest, fetch, bed, announce, step };
    Kind kind = Kind::rest;
    DesktopWindow window; // climb: the window to climb; transfer: the window to move to
    double x = 0;         // step: where on the next monitor's higher floor the jump lands

    static Arrival climb(const DesktopWindow& w) { return {Kind::climb, w}; }
    static Arrival transfer(const DesktopWindow& to) { return {Kind::transfer, to}; }
    static Arrival rest() { return {Kind::rest, {}}; }
    static Arrival fetch() { return {Kind::fetch, {}}; }
    static Arrival bed() { return {Kind::bed, {}}; }
    static Arrival announce() { return {Kind::announce, {}}; }
    static Arrival step(double to) { return {Kind::step, {}, to}; }

    friend bool operator==(const Arrival&, const Arrival&) = default;
    QString description() const;
};

// What happens when a jump ends.
struct Landing {
    enum class Kind { top, climb, bed, floor };
    Kind kind = Kind::floor;
    DesktopWindow window; // top: stand on it; climb: climb its face

    static Landing top(const DesktopWindow& w) { return {Kind::top, w}; }
    static Landing climb(const DesktopWindow& w) { return {Kind::climb, w}; }
    static Landing bed() { return {Kind::bed, {}}; }
    static Landing floor() { return {Kind::floor, {}}; }

    friend bool operator==(const Landing&, const Landing&) = default;
    QString description() const;
};

enum class AfterYawn { idle, sleep, wake };

// The surface under the cat's feet: a window's top edge, or the screen floor.
class Platform {
  public:
    static Platform floor() { return Platform(); }
    static Platform on(const DesktopWindow& w) { return Platform(w); }

    bool isFloor() const { return !window_; }
    // The window stood on, or null on the floor.
    const DesktopWindow* window() const { return window_ ? &*window_ : nullptr; }

    friend bool operator==(const Platform&, const Platform&) = default;
    QString description() const;

  private:
    Platform() = default;
    explicit Platform(const DesktopWindow& w) : window_(w) {}
    std::optional<DesktopWindow> window_;
};

// The payload of each activity; Activity holds exactly one of them.
namespace activity {
struct Walking {
    double to;
    Arrival then;
};
struct Away {
    double until;
};
struct Yawning {
    AfterYawn then;
};
struct ClimbingUp {
    DesktopWindow window;
};
struct PullingUp {
    DesktopWindow window;
};
struct Lowering {
    DesktopWindow window;
    std::optional<DesktopWindow> onto;
};
struct ClimbingDown {
    DesktopWindow window;
    std::optional<DesktopWindow> onto;
};
struct Falling {
    double speed; // points per second, up positive
};
struct Jumping {
    QPointF from;
    QPointF to;
    Landing then;
    bool crouch;
};
struct Stalking {
    QPointF prey;
};
struct Pouncing {
    QPointF from;
    QPointF to;
};
struct Catching {
    double speed;
};
struct InBed {
    std::optional<int> clip; // index into the bed clip table
};
struct Idle {};
struct Reading {};
struct Petting {};
struct Snacking {};
struct Sleeping {};
struct Held {};
struct Landing {};
struct Eating {};
struct Waving {};
} // namespace activity

// The cat's state machine: it is always in exactly one activity. Times are seconds since
// 2001-01-01 UTC, like every date in the engine.
class Activity {
  public:
    // Declaration order; Kind(index) matches the payload alternative.
    enum class Kind {
        walking,
        away,
        yawning,
        climbingUp,
        pullingUp,
        lowering,
        climbingDown,
        falling,
        jumping,
        stalking,
        pouncing,
        catching,
        inBed,
        idle,
        reading,
        petting,
        snacking,
        sleeping,
        held,
        landing,
        eating,
        waving
    };

    Activity() : v_(activity::Idle{}) {}

    static Activity walking(double to, Arrival then) {
        return Activity(activity::Walking{to, then});
    }
    static Activity away(double until) { return Activity(activity::Away{until}); }
    static Activity yawning(AfterYawn then) { return Activity(activity::Yawning{then}); }
    static Activity climbingUp(const DesktopWindow& w) { return Activity(activity::ClimbingUp{w}); }
    static Activity pullingUp(const DesktopWindow& w) { return Activity(activity::PullingUp{w}); }
    static Activity lowering(const DesktopWindow& w, std::optional<DesktopWindow> onto) {
        return Activity(activity::Lowering{w, onto});
    }
    static Activity climbingDown(const DesktopWindow& w, std::optional<DesktopWindow> onto) {
        return Activity(activity::ClimbingDown{w, onto});
    }
    static Activity falling(double speed) { return Activity(activity::Falling{speed}); }
    static Activity jumping(QPointF from, QPointF to, Landing then, bool crouch) {
        return Activity(activity::Jumping{from, to, then, crouch});
    }
    static Activity stalking(QPointF prey) { return Activity(activity::Stalking{prey}); }
    static Activity pouncing(QPointF from, QPointF to) {
        return Activity(activity::Pouncing{from, to});
    }
    static Activity catching(double speed) { return Activity(activity::Catching{speed}); }
    static Activity inBed(std::optional<int> clip) { return Activity(activity::InBed{clip}); }
    static Activity idle() { return Activity(activity::Idle{}); }
    static Activity reading() { return Activity(activity::Reading{}); }
    static Activity petting() { return Activity(activity::Petting{}); }
    static Activity snacking() { return Activity(activity::Snacking{}); }
    static Activity sleeping() { return Activity(activity::Sleeping{}); }
    static Activity held() { return Activity(activity::Held{}); }
    static Activity landing() { return Activity(activity::Landing{}); }
    static Activity eating() { return Activity(activity::Eating{}); }
    static Activity waving() { return Activity(activity::Waving{}); }

    Kind kind() const { return Kind(v_.index()); }
    bool is(Kind k) const { return kind() == k; }

    // The payload when the activity is of that case, else null.
    template <class T> const T* as() const { return std::get_if<T>(&v_); }
    template <class T> T* as() { return std::get_if<T>(&v_); }

    // "walking(to: 412.5, then: rest)": what the log line shows.
    QString description() const;

  private:
    using Payload =
        std::variant<activity::Walking, activity::Away, activity::Yawning, activity::ClimbingUp,
                     activity::PullingUp, activity::Lowering, activity::ClimbingDown,
                     activity::Falling, activity::Jumping, activity::Stalking, activity::Pouncing,
                     activity::Catching, activity::InBed, activity::Idle, activity::Reading,
                     activity::Petting, activity::Snacking, activity::Sleeping, activity::Held,
                     activity::Landing, activity::Eating, activity::Waving>;
    explicit Activity(Payload v) : v_(std::move(v)) {}
    Payload v_;
};
