#include "art/CatPainter.h"

#include "art/Palette.h"
#include "art/PropPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace {

QTransform bodyTransform(const Pose& s) {
    QTransform t;
    t.translate(s.bodyX, s.bodyY);
    t.rotate(s.bodyTurn);
    return t;
}

QTransform headTransform(const Pose& s) {
    QTransform t;
    t.translate(s.headX, s.headY);
    t.rotate(s.headTilt);
    t.scale(1, s.headSquash);
    return t;
}

QPointF direction(double degrees) {
    const double r = degrees * std::numbers::pi / 180;
    return {std::cos(r), std::sin(r)};
}

} // namespace

QPointF CatPainter::onHead(const Pose& pose, QPointF local) {
    return headTransform(pose).map(local);
}

QPointF CatPainter::onBody(const Pose& pose, QPointF local) {
    return bodyTransform(pose).map(local);
}

void CatPainter::outlined(const QPainterPath& path, const QColor& fill) {
    p.setPen(QPen(Palette::ink, Palette::line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void CatPainter::paint(const Pose& s) {
    PropPainter props(p);
    if (s.bed > 0.5) props.bedBack(PropPainter::bedTop);
    tail(s);
    const QPointF frontHip = onBody(s, {s.bodyW * 0.5, s.bodyH * 0.3});
    const QPointF hindHip = onBody(s, {-s.bodyW * 0.52, s.bodyH * 0.3});
    const QPointF farShift(-3, -1);
    leg(s, hindHip + farShift, {s.farHindX, s.farHindY}, true);
    leg(s, frontHip + farShift, {s.farFrontX, s.farFrontY}, true);
    leg(s, hindHip, {s.nearHindX, s.nearHindY}, false);
    if (s.frontOver <= 0.5) leg(s, frontHip, {s.nearFrontX, s.nearFrontY}, false);
    body(s);
    ears(s);
    head(s);
    if (s.letter > 0.5) props.letter(onHead(s, {9, 10}), s.headTilt - 8);
    if (s.treat > 0.5) props.treat({s.treatX, s.treatY}, s.headTilt);
    const bool behind = s.propsBehind > 0.5;
    if (behind) props.held(s, true);
    if (s.bed > 0.5) props.bedFront(PropPainter::bedTop);
    if (!behind) props.held(s, false);
    if (s.frontOver > 0.5) leg(s, frontHip, {s.nearFrontX, s.nearFrontY}, false);
    if (!behind) props.inPaw(s);
    props.overlays(s);
}

void CatPainter::tail(const Pose& s) {
    const QPointF base = onBody(s, {-s.bodyW * 0.85, -s.bodyH * 0.1});
    // The tail leaves the rump pointing backwards (left); a positive angle raises it and a
    // positive bend curls it forwards over the back.
    const double start = 180 + s.tailAngle + s.bodyTurn;
    QPainterPath path(base);
    QPointF at = base;
    const int steps = 6;
    for (int i = 1; i <= steps; ++i) {
        const double f = double(i) / steps;
        const QPointF next = at + direction(start + s.tailBend * f) * (s.tailLength / steps);
        path.quadTo(at, (at + next) / 2);
        at = next;
    }
    path.lineTo(at);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Palette::ink, s.tailWidth + 2 * Palette::line, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Palette::coat, s.tailWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    // A cream tip and two rings of darker ginger.
    const double len = path.length();
    auto piece = [&](double from, double to) {
        QPainterPath part(path.pointAtPercent(path.percentAtLength(from * len)));
        for (int i = 1; i <= 6; ++i)
            part.lineTo(
                path.pointAtPercent(path.percentAtLength((from + (to - from) * i / 6) * len)));
        return part;
    };
    p.setPen(QPen(Palette::stripe, s.tailWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(piece(0.38, 0.48));
    p.drawPath(piece(0.62, 0.71));
    p.setPen(QPen(Palette::cream, s.tailWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(piece(0.88, 0.999));
}

void CatPainter::leg(const Pose&, QPointF hip, QPointF paw, bool far) {
    // paw is the lowest point of the paw's outline; the pad sits just above it.
    const QPointF pad = paw - QPointF(0, 4);
    const double width = 9.5;
    // The leg's round end stays inside the paw, so the paw is the lowest part.
    const QPointF ankle = paw - QPointF(0, 7);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Palette::ink, width + 2 * Palette::line, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(hip, ankle);
    p.setPen(QPen(far ? Palette::coatShade : Palette::coat, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(hip, ankle);
    QPainterPath foot;
    foot.addEllipse(pad + QPointF(1.2, 0), 5.6, 3.0);
    outlined(foot, far ? Palette::cream.darker(108) : Palette::cream);
}

void CatPainter::body(const Pose& s) {
    p.save();
    p.setTransform(bodyTransform(s), true);
    QPainterPath shape;
    shape.addEllipse(QPointF(0, 0), s.bodyW, s.bodyH);
    outlined(shape, Palette::coat);
    p.save();
    p.setClipPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::cream);
    p.drawEllipse(QPointF(s.bodyW * 0.15, s.bodyH * 0.85), s.bodyW * 0.8, s.bodyH * 0.55);
    p.drawEllipse(QPointF(s.bodyW * 0.85, s.bodyH * 0.2), s.bodyW * 0.3, s.bodyH * 0.7);
    p.setPen(QPen(Palette::stripe, 2.6, Qt::SolidLine, Qt::RoundCap));
    for (double x : {-0.5, -0.22, 0.06}) {
        const double cx = s.bodyW * x;
        p.drawLine(QPointF(cx, -s.bodyH * 1.05), QPointF(cx + 2.5, -s.bodyH * 0.55));
    }
    p.restore();
    // Ink outline again over the clipped fills, so the edge stays crisp.
    p.setPen(QPen(Palette::ink, Palette::line));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    if (s.scruff > 0.05) {
        // A pinched tuft at the front end of the body's long axis: the top when it dangles.
        const double h = 8 * s.scruff;
        const double x = s.bodyW * 0.8, y = -s.bodyH * 0.25;
        QPainterPath tuft(QPointF(x, y - 7));
        tuft.quadTo(QPointF(x + h * 0.7, y - 6), QPointF(x + h, y - 2.5));
        tuft.quadTo(QPointF(x + h * 0.55, y - 0.5), QPointF(x + h * 0.9, y + 2.5));
        tuft.quadTo(QPointF(x + h * 0.5, y + 5), QPointF(x, y + 6));
        tuft.closeSubpath();
        outlined(tuft, Palette::coat);
    }
    p.restore();
}

void CatPainter::ears(const Pose& s) {
    p.save();
    p.setTransform(headTransform(s), true);
    auto ear = [&](QPointF a, QPointF tip, QPointF b, double turn, double scale) {
        const QPointF mid = (a + b) / 2;
        QTransform t;
        t.translate(mid.x(), mid.y());
        t.rotate(turn);
        t.scale(scale, scale);
        t.translate(-mid.x(), -mid.y());
        QPainterPath outer;
        outer.moveTo(a);
        outer.quadTo((a + tip) / 2 + QPointF(-1, -1), tip);
        outer.quadTo((tip + b) / 2 + QPointF(1, -1), b);
        outer.closeSubpath();
        outlined(t.map(outer), Palette::coat);
        QPainterPath inner;
        const QPointF c = (a + b + tip) / 3;
        inner.moveTo(c + (a - c) * 0.55);
        inner.lineTo(c + (tip - c) * 0.7);
        inner.lineTo(c + (b - c) * 0.55);
        inner.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::pink);
        p.drawPath(t.map(inner));
    };
    const double back = s.earsBack * 55;
    ear({-15, -5}, {-13, -24}, {-3, -13}, -back, 0.95);
    ear({2, -14}, {12, -24}, {14, -5}, back, 1.0);
    p.restore();
}

void CatPainter::head(const Pose& s) {
    p.save();
    p.setTransform(headTransform(s), true);
    QPainterPath shape;
    shape.addEllipse(QPointF(0, 0), 17.5, 15);
    if (s.chew > 0.05) {
        QPainterPath cheek;
        cheek.addEllipse(QPointF(10, 6), 8 + 2 * s.chew, 6 + 2 * s.chew);
        shape = shape.united(cheek);
    }
    outlined(shape, Palette::coat);
    p.save();
    p.setClipPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::cream);
    p.drawEllipse(QPointF(6.5, 7.5), 11 + s.chew * 2, 7.5 + s.chew);
    p.setPen(QPen(Palette::stripe, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-1, -15), QPointF(0, -10.5));
    p.drawLine(QPointF(3.5, -15.5), QPointF(3.8, -11));
    p.drawLine(QPointF(-5.5, -14), QPointF(-4, -10));
    p.restore();
    p.setPen(QPen(Palette::ink, Palette::line));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    if (s.blush > 0.05) {
        p.setPen(Qt::NoPen);
        QColor b = Palette::blush;
        b.setAlphaF(b.alphaF() * std::min(1.0, s.blush));
        p.setBrush(b);
        p.drawEllipse(QPointF(15, 5), 3.2, 2.0);
        p.drawEllipse(QPointF(-4.5, 5), 3.0, 1.9);
    }
    eyes(s);
    mouth(s);
    if (s.headphones > 0.5) PropPainter(p).headphones();
    p.restore();
}

void CatPainter::eyes(const Pose& s) {
    const QPointF nearEye(10.5, -1.5), farEye(-2.5, -1.5);
    p.setPen(QPen(Palette::ink, 1.8, Qt::SolidLine, Qt::RoundCap));
    if (s.eyesHappy > 0.5) {
        for (QPointF e : {nearEye, farEye}) {
            QPainterPath arc(e + QPointF(-3.2, 1.2));
            arc.quadTo(e + QPointF(0, -3.8), e + QPointF(3.2, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arc);
        }
        return;
    }
    if (s.eyesOpen < 0.2) {
        for (QPointF e : {nearEye, farEye}) {
            QPainterPath arc(e + QPointF(-3.3, 0));
            arc.quadTo(e + QPointF(0, 2.6), e + QPointF(3.3, 0));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arc);
        }
        return;
    }
    const double open = std::min(1.0, s.eyesOpen);
    for (QPointF e : {nearEye, farEye}) {
        const double rx = e == nearEye ? 3.7 : 3.3;
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::ink);
        p.drawEllipse(e, rx, 4.8 * open);
        p.setBrush(Palette::white);
        const QPointF glint = e + QPointF(0.9 + s.lookX, -1.7 * open + s.lookY);
        p.drawEllipse(glint, 1.5, 1.5 * std::min(1.0, open * 1.3));
        p.drawEllipse(e + QPointF(-1.2 + s.lookX * 0.5, 2.0 * open), 0.7, 0.7 * open);
        if (open < 0.8) {
            // A drowsy lid across the top of the eye.
            p.setPen(QPen(Palette::ink, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(e + QPointF(-rx - 0.8, -4.8 * open), e + QPointF(rx + 0.8, -4.8 * open));
        }
    }
}

void CatPainter::mouth(const Pose& s) {
    const QPointF nose(7, 3.6);
    if (s.mouthOpen > 0.05) {
        const double o = std::min(1.0, s.mouthOpen);
        QPainterPath m;
        m.addEllipse(nose + QPointF(0.5, 3 + 3.5 * o), 3 + 2.2 * o, 1.2 + 4 * o);
        p.setPen(QPen(Palette::ink, 1.6));
        p.setBrush(Palette::mouth);
        p.drawPath(m);
        p.save();
        p.setClipPath(m);
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::pink);
        p.drawEllipse(nose + QPointF(0.5, 4 + 7 * o), 3 + 1.2 * o, 2.5 * o + 0.5);
        p.restore();
    } else {
        QPainterPath w(nose + QPointF(0, 1.8));
        w.quadTo(nose + QPointF(-0.4, 4.4), nose + QPointF(-2.8, 3.7));
        w.moveTo(nose + QPointF(0, 1.8));
        w.quadTo(nose + QPointF(0.6, 4.4), nose + QPointF(3.0, 3.6));
        p.setPen(QPen(Palette::ink, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(w);
    }
    QPainterPath n;
    n.moveTo(nose + QPointF(-2.3, -1.2));
    n.quadTo(nose + QPointF(0, -2.2), nose + QPointF(2.3, -1.2));
    n.quadTo(nose + QPointF(0.6, 1.9), nose);
    n.quadTo(nose + QPointF(-0.6, 1.9), nose + QPointF(-2.3, -1.2));
    p.setPen(QPen(Palette::ink, 1.0));
    p.setBrush(Palette::nose);
    p.drawPath(n);
    // Whiskers on the near cheek reach past the face.
    p.setPen(QPen(Palette::ink, 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 3), QPointF(23, 1.2));
    p.drawLine(QPointF(15, 5.5), QPointF(23, 6.5));
}
