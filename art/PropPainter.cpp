#include "art/PropPainter.h"

#include "art/Palette.h"
#include "art/Palettiser.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPainterPath heartPath(QPointF c, double s) {
    QPainterPath h(c + QPointF(0, s * 0.9));
    h.cubicTo(c + QPointF(-s * 1.4, 0), c + QPointF(-s * 0.8, -s * 1.2), c + QPointF(0, -s * 0.45));
    h.cubicTo(c + QPointF(s * 0.8, -s * 1.2), c + QPointF(s * 1.4, 0), c + QPointF(0, s * 0.9));
    return h;
}

} // namespace

void PropPainter::outlined(const QPainterPath& path, const QColor& fill, double width) {
    p.setPen(QPen(Palette::ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void PropPainter::heart(QPointF centre, double size, const QColor& fill) {
    outlined(heartPath(centre, size), fill, size > 3 ? 1.5 : 0.9);
}

void PropPainter::drawBedBack(QPainter& p) {
    PropPainter props(p);
    QPainterPath rim;
    rim.addEllipse(QPointF(48, 26), 44, 17);
    props.outlined(rim, Palette::bedRim);
    QPainterPath cushion;
    cushion.addEllipse(QPointF(48, 28), 35, 9.5);
    props.outlined(cushion, Palette::bedCushion, 1.5);
}

void PropPainter::drawBedFront(QPainter& p) {
    PropPainter props(p);
    QPainterPath front(QPointF(4, 26));
    front.cubicTo(QPointF(4, 49), QPointF(92, 49), QPointF(92, 26));
    front.quadTo(QPointF(48, 37), QPointF(4, 26));
    props.outlined(front, Palette::bedRim);
    // Stitching along the rim.
    QPainterPath seam(QPointF(12, 33));
    seam.quadTo(QPointF(48, 46), QPointF(84, 33));
    QPen dash(Palette::bedCushion, 1.3, Qt::DashLine, Qt::RoundCap);
    dash.setDashPattern({2.0, 2.2});
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawPath(seam);
}

// The bed is drawn once into images of its own and copied into every frame, so each bed frame
// carries exactly the pixels of the empty bed.
const QImage& PropPainter::bedLayer(bool front) {
    static const auto draw = [](bool front) {
        QImage image(QSize(96, 48) * 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(2, 2);
        front ? drawBedFront(p) : drawBedBack(p);
        p.end();
        // Few colours, so the bed's pixels fit any frame's colour table exactly.
        return Palettiser::toIndexed(image, 0, 40)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    static const QImage back = draw(false);
    static const QImage rim = draw(true);
    return front ? rim : back;
}

void PropPainter::bedBack(double top) {
    p.drawImage(QRectF(0, top, 96, 48), bedLayer(false));
}

void PropPainter::bedFront(double top) {
    p.drawImage(QRectF(0, top, 96, 48), bedLayer(true));
}

void PropPainter::letter(QPointF c, double degrees) {
    p.save();
    p.translate(c);
    p.rotate(degrees);
    QPainterPath env;
    env.addRoundedRect(QRectF(-8, -5.5, 16, 11), 1.5, 1.5);
    outlined(env, Palette::white, 1.5);
    QPainterPath flap(QPointF(-7.5, -5));
    flap.lineTo(QPointF(0, 1));
    flap.lineTo(QPointF(7.5, -5));
    p.setPen(QPen(Palette::ink, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    heart(QPointF(0, 1.2), 2.6, Palette::nose);
    p.restore();
}

void PropPainter::treat(QPointF c, double degrees) {
    p.save();
    p.translate(c);
    p.rotate(degrees);
    QPainterPath fish;
    fish.addEllipse(QPointF(1.5, 0), 5.5, 3.4);
    QPainterPath tail(QPointF(-3, 0));
    tail.lineTo(QPointF(-7.5, -3.2));
    tail.lineTo(QPointF(-7.5, 3.2));
    tail.closeSubpath();
    outlined(fish.united(tail), Palette::treat, 1.4);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::ink);
    p.drawEllipse(QPointF(4.2, -0.8), 0.8, 0.8);
    p.restore();
}

void PropPainter::headphones() {
    QPainterPath band(QPointF(-10, -3));
    band.cubicTo(QPointF(-14, -20), QPointF(2, -24), QPointF(6, -13));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Palette::ink, 4.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(band);
    p.setPen(QPen(QColor(0x8E, 0x7C, 0xC3), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(band);
    QPainterPath cup;
    cup.addRoundedRect(QRectF(-14, -5, 8, 11), 3.5, 3.5);
    outlined(cup, QColor(0x8E, 0x7C, 0xC3), 1.6);
}

void PropPainter::phone(const Pose& s) {
    p.save();
    p.translate(s.phoneX, s.phoneY);
    p.rotate(s.phoneTurn);
    QPainterPath body;
    body.addRoundedRect(QRectF(-5, -8.5, 10, 17), 2.2, 2.2);
    outlined(body, Palette::phone, 1.5);
    QColor glow = Palette::screen;
    glow.setAlphaF(0.45 + 0.55 * std::clamp(s.phoneGlow, 0.0, 1.0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(-3.4, -6.8, 6.8, 13.2), 1, 1);
    p.restore();
}

void PropPainter::laptop(const Pose& s) {
    // Side view: the base lies on the rim, the lid opens away from the cat with its glowing
    // screen towards it.
    const QPointF hinge(86, 70.5);
    const double open = std::clamp(s.laptopOpen, 0.0, 1.0);
    QPainterPath base;
    base.addRoundedRect(QRectF(54, 70, 33.5, 5), 2, 2);
    outlined(base, Palette::laptop, 1.5);
    p.save();
    p.translate(hinge);
    p.rotate(180 + 100 * open);
    QPainterPath lid;
    lid.addRoundedRect(QRectF(-1, -5, 30, 5.2), 2, 2);
    outlined(lid, Palette::laptop, 1.5);
    if (open > 0.5) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::screen);
        p.drawRoundedRect(QRectF(3, -1.6, 23, 1.6), 0.8, 0.8);
        heart(QPointF(15, -2.9), 1.3, Palette::nose);
    }
    p.restore();
}

void PropPainter::mug(const Pose& s) {
    p.save();
    p.translate(s.mugX, s.mugY);
    p.rotate(s.mugTurn);
    QPainterPath handle;
    handle.addEllipse(QPointF(6.5, 0), 3.6, 3.8);
    QPainterPath cup;
    cup.addRoundedRect(QRectF(-6.5, -7, 13, 14), 2.5, 2.5);
    p.setPen(QPen(Palette::ink, 4.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(6.5, 0), 3.6, 3.8);
    p.setPen(QPen(Palette::mug, 1.6));
    p.drawEllipse(QPointF(6.5, 0), 3.6, 3.8);
    outlined(cup, Palette::mug, 1.5);
    QPainterPath drink;
    drink.addEllipse(QPointF(0, -6.6), 5.2, 1.4);
    outlined(drink, Palette::cocoa, 1.0);
    heart(QPointF(-0.5, 0.8), 2.4, Palette::white);
    p.restore();
}

void PropPainter::held(const Pose& s, bool withMug) {
    if (s.laptop > 0.5) laptop(s);
    if (s.mug > 0.5 && withMug) mug(s);
    if (s.phone > 0.5) phone(s);
}

void PropPainter::inPaw(const Pose& s) {
    if (s.mug > 0.5) mug(s);
}

void PropPainter::overlays(const Pose& s) {
    if (s.steam > 0.05 && s.mug > 0.5) {
        QColor white = Palette::white;
        white.setAlphaF(std::min(1.0, s.steam) * 0.9);
        p.setBrush(Qt::NoBrush);
        for (double dx : {-2.0, 2.5}) {
            const QPointF b(s.mugX + dx, s.mugY - 9);
            QPainterPath w(b);
            w.cubicTo(b + QPointF(-3, -3), b + QPointF(3, -5), b + QPointF(0, -9));
            // Soft wisps: a faint ink edge keeps them visible on light wallpaper.
            QColor edge = Palette::ink;
            edge.setAlphaF(0.35 * std::min(1.0, s.steam));
            p.setPen(QPen(edge, 2.8, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(w);
            p.setPen(QPen(white, 1.5, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(w);
        }
    }
    if (s.notes > 0.5) {
        const QPointF at(84, 26 - s.noteRise);
        p.setPen(QPen(Palette::ink, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Palette::ink);
        p.drawEllipse(at, 2.2, 1.7);
        p.drawLine(at + QPointF(2, 0), at + QPointF(2, -8));
        p.drawLine(at + QPointF(2, -8), at + QPointF(5, -6));
        const QPointF b(76, 18 - s.noteRise * 0.6);
        p.drawEllipse(b, 1.8, 1.4);
        p.drawLine(b + QPointF(1.6, 0), b + QPointF(1.6, -6));
    }
    if (s.heart > 0.05)
        heart(QPointF(s.phoneX + 4, s.phoneY - 16 - 6 * s.heart), 2 + 2.2 * s.heart, Palette::nose);
}
