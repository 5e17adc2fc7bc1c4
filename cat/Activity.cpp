#include "cat/Activity.h"

namespace {

QString num(double v) {
    return QString::number(v, 'g', 10);
}

QString point(QPointF p) {
    return QStringLiteral("(%1, %2)").arg(num(p.x()), num(p.y()));
}

QString optionalWindow(const std::optional<DesktopWindow>& w) {
    return w ? w->description() : QStringLiteral("nil");
}

const char* afterYawnName(AfterYawn a) {
    switch (a) {
    case AfterYawn::idle:
        return "idle";
    case AfterYawn::sleep:
        return "sleep";
    case AfterYawn::wake:
        return "wake";
    }
    return "?";
}

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

QString DesktopWindow::description() const {
    return QStringLiteral("DesktopWindow(id: %1, frame: (%2, %3, %4, %5))")
        .arg(QString::number(id), num(frame.x), num(frame.y), num(frame.width), num(frame.height));
}

QString Arrival::description() const {
    switch (kind) {
    case Kind::climb:
        return QStringLiteral("climb(%1)").arg(window.description());
    case Kind::transfer:
        return QStringLiteral("transfer(to: %1)").arg(window.description());
    case Kind::rest:
        return QStringLiteral("rest");
    case Kind::fetch:
        return QStringLiteral("fetch");
    case Kind::bed:
        return QStringLiteral("bed");
    case Kind::announce:
        return QStringLiteral("announce");
    case Kind::step:
        return QStringLiteral("step(to: %1)").arg(num(x));
    }
    return {};
}

QString Landing::description() const {
    switch (kind) {
    case Kind::top:
        return QStringLiteral("top(%1)").arg(window.description());
    case Kind::climb:
        return QStringLiteral("climb(%1)").arg(window.description());
    case Kind::bed:
        return QStringLiteral("bed");
    case Kind::floor:
        return QStringLiteral("floor");
    }
    return {};
}

QString Platform::description() const {
    return window_ ? QStringLiteral("window(%1)").arg(window_->description())
                   : QStringLiteral("floor");
}

QString Activity::description() const {
    using namespace activity;
    return std::visit(
        Overloaded{
            [](const Walking& a) {
                return QStringLiteral("walking(to: %1, then: %2)")
                    .arg(num(a.to), a.then.description());
            },
            [](const Away& a) { return QStringLiteral("away(until: %1)").arg(num(a.until)); },
            [](const Yawning& a) {
                return QStringLiteral("yawning(then: %1)")
                    .arg(QLatin1String(afterYawnName(a.then)));
            },
            [](const ClimbingUp& a) {
                return QStringLiteral("climbingUp(%1)").arg(a.window.description());
            },
            [](const PullingUp& a) {
                return QStringLiteral("pullingUp(%1)").arg(a.window.description());
            },
            [](const Lowering& a) {
                return QStringLiteral("lowering(%1, onto: %2)")
                    .arg(a.window.description(), optionalWindow(a.onto));
            },
            [](const ClimbingDown& a) {
                return QStringLiteral("climbingDown(%1, onto: %2)")
                    .arg(a.window.description(), optionalWindow(a.onto));
            },
            [](const Falling& a) { return QStringLiteral("falling(speed: %1)").arg(num(a.speed)); },
            [](const Jumping& a) {
                return QStringLiteral("jumping(from: %1, to: %2, then: %3, crouch: %4)")
                    .arg(point(a.from), point(a.to), a.then.description(),
                         a.crouch ? QStringLiteral("true") : QStringLiteral("false"));
            },
            [](const Stalking& a) {
                return QStringLiteral("stalking(prey: %1)").arg(point(a.prey));
            },
            [](const Pouncing& a) {
                return QStringLiteral("pouncing(from: %1, to: %2)").arg(point(a.from), point(a.to));
            },
            [](const Catching& a) {
                return QStringLiteral("catching(speed: %1)").arg(num(a.speed));
            },
            [](const InBed& a) {
                return QStringLiteral("inBed(clip: %1)")
                    .arg(a.clip ? QString::number(*a.clip) : QStringLiteral("nil"));
            },
            [](const Idle&) { return QStringLiteral("idle"); },
            [](const Reading&) { return QStringLiteral("reading"); },
            [](const Petting&) { return QStringLiteral("petting"); },
            [](const Snacking&) { return QStringLiteral("snacking"); },
            [](const Sleeping&) { return QStringLiteral("sleeping"); },
            [](const Held&) { return QStringLiteral("held"); },
            [](const activity::Landing&) { return QStringLiteral("landing"); },
            [](const Eating&) { return QStringLiteral("eating"); },
            [](const Waving&) { return QStringLiteral("waving"); },
        },
        v_);
}
