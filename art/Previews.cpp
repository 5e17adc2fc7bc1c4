#include "art/Previews.h"

#include "art/ContactSheet.h"
#include "frames/BedClip.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr double pixelsPerPoint = 2;
constexpr double walkStep = 1.742481751824818; // points per gait frame

// The scene is drawn in pixels, y down; the engine's points are y up from the scene's bottom.
QPointF toScene(const QImage& scene, double x, double y) {
    return {x * pixelsPerPoint, scene.height() - y * pixelsPerPoint};
}

// Draws a 96-point frame whose feet (canvas x 48, 16 points up) stand at (x, feetY).
void place(QImage& scene, const QImage& frame, double x, double feetY) {
    QPainter p(&scene);
    const QPointF canvasBottomLeft = toScene(scene, x - 48, feetY - 16);
    p.drawImage(QPointF(canvasBottomLeft.x(), canvasBottomLeft.y() - frame.height()), frame);
}

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    ContactSheet::wallpaper(image);
    return image;
}

void floorLine(QImage& scene, double y) {
    QPainter p(&scene);
    p.setPen(QPen(QColor(0x9A, 0x8C, 0x84), 2));
    const QPointF a = toScene(scene, 0, y);
    p.drawLine(a, QPointF(scene.width(), a.y()));
}

} // namespace

QImage Previews::sprite(const QString& imageName) const {
    return ContactSheet::frame(frames, imageName);
}

Previews::Bounds Previews::bounds(const QString& imageName) const {
    const QImage image = sprite(imageName);
    int minX = image.width(), maxX = -1, minRow = image.height(), maxRow = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 40) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minRow = std::min(minRow, y), maxRow = std::max(maxRow, y);
            }
    const double k = 1 / pixelsPerPoint;
    const int h = image.height();
    return {minX * k, (h - 1 - maxRow) * k, (maxX + 1) * k, (h - minRow) * k};
}

Previews::Film Previews::walk(bool letter) const {
    const int count = letter ? 44 : 38;
    const double fps = letter ? 26.4 : 22.0;
    const QString stem =
        letter ? QStringLiteral("walk_letter_video_") : QStringLiteral("walk_plain_video_");
    Film film;
    // Two passes of the loop while walking across the light and the dark half.
    for (int i = 0; i < 2 * count; ++i) {
        QImage scene = blank(560, 220);
        floorLine(scene, 20);
        place(scene, sprite(stem + QString::number(i % count + 1)), 40 + walkStep * i, 20);
        film.push_back({scene, 1 / fps});
    }
    return film;
}

Previews::Film Previews::climb() const {
    // A window whose top is 170 points above the floor; the cat climbs its face and pulls over.
    const double floorY = 12, top = 182, x = 60;
    const QRectF window(70, floorY, 80, top - floorY); // x, y (up), w, h in points
    auto scene = [&] {
        QImage s = blank(360, 560);
        floorLine(s, floorY);
        QPainter p(&s);
        const QPointF tl = toScene(s, window.left(), window.top() + window.height());
        const QRectF r(tl, QSizeF(window.width() * 2, window.height() * 2));
        p.setPen(QPen(QColor(0x3B, 0x29, 0x24), 2));
        p.setBrush(QColor(0xF7, 0xF4, 0xEF));
        p.drawRect(r);
        p.setBrush(QColor(0xC9, 0xD3, 0xDE));
        p.drawRect(QRectF(r.topLeft(), QSizeF(r.width(), 24)));
        return s;
    };
    Film film;
    const Bounds b1 = bounds(QStringLiteral("climb_1"));
    double feetY = floorY + 16 - b1.minY, phase = 0;
    const double dt = 1 / 24.0;
    while (top > feetY - 16 + b1.maxY) {
        QImage s = scene();
        place(s, sprite(QStringLiteral("climb_") + QString::number(int(phase) % 4 + 1)), x, feetY);
        film.push_back({s, dt});
        feetY += 110 * dt, phase += 6 * dt;
    }
    const double rise[] = {0.18, 0.38, 0.55, 1.0};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("climb_over_") + QString::number(i + 1);
        const Bounds b = bounds(name);
        QImage s = scene();
        place(s, sprite(name), x, top + 16 + (rise[i] * b.height() - b.maxY));
        film.push_back({s, 0.28});
    }
    QImage happy = scene(), sit = scene();
    place(happy, sprite(QStringLiteral("happy")), x, top);
    place(sit, sprite(QStringLiteral("sit")), x, top);
    film.push_back({happy, 0.6});
    film.push_back({sit, 1.2});
    return film;
}

Previews::Film Previews::dangle() const {
    // Hung from a pointer: the hang point 4 points below it, turned so the weight hangs below.
    const QPointF cursor(150, 50);
    auto hang = [&](const QString& name, double sway) {
        QImage s = blank(300, 300);
        const QImage frame = sprite(name);
        const Bounds b = bounds(name);
        // Hang point and mass centre from the pixels (top six rows; all opaque pixels).
        double top = 0, topN = 0, mx = 0, my = 0, n = 0;
        const int firstRow = int(std::lround(frame.height() - b.maxY * pixelsPerPoint));
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                if (qAlpha(frame.pixel(x, y)) > 40) {
                    mx += x, my += y, ++n;
                    if (y < firstRow + 6) top += x, ++topN;
                }
        const QPointF hp(top / topN, firstRow), mc(mx / n, my / n);
        const QPointF v = mc - hp;
        const double upright = std::atan2(v.x(), v.y()) * 180 / std::numbers::pi;
        QPainter p(&s);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(cursor + QPointF(0, 8));
        p.rotate(upright + sway);
        p.drawImage(-hp, frame);
        p.resetTransform();
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        const QPolygonF arrow{cursor, cursor + QPointF(0, 22), cursor + QPointF(6, 16),
                              cursor + QPointF(15, 15)};
        p.drawPolygon(arrow);
        return s;
    };
    Film film;
    film.push_back({hang(QStringLiteral("held_swing_6"), 0), 0.35});
    const int swings[] = {3, 2, 1, 1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 2, 3, 4, 5, 4, 3, 3};
    double t = 0;
    for (int k : swings) {
        const double sway = 14 * std::sin(t * 2 * std::numbers::pi / 1.4);
        film.push_back({hang(QStringLiteral("held_swing_") + QString::number(k), sway), 0.12});
        t += 0.12;
    }
    for (int i = 0; i < 12; ++i)
        film.push_back(
            {hang(QStringLiteral("held_angry_") + QString::number(i % 4 + 1), 0), 1 / 7.0});
    return film;
}

void Previews::play(Film& film, const QString& name, const QImage& still) const {
    const auto& clip = CatSprite::BedClip::bedClips()[size_t(CatSprite::BedClip::bedClip(name))];
    const auto parts = clip.parts();
    std::vector<CatSprite::BedClip::Pose> poses = parts.intro;
    const int repeats = parts.body.empty() ? 0 : std::max(clip.repeats(), 1);
    for (int r = 0; r < repeats; ++r)
        poses.insert(poses.end(), parts.body.begin(), parts.body.end());
    poses.insert(poses.end(), parts.outro.begin(), parts.outro.end());
    for (const auto& pose : poses) {
        QImage s = still.copy();
        place(s, sprite(pose.sprite.rawValue()), 100, 22);
        film.push_back({s, pose.frames / (24.0 * clip.speed)});
    }
}

Previews::Film Previews::bedClip(const QString& name) const {
    Film film;
    const QImage room = blank(400, 200);
    QImage still = room.copy();
    place(still, sprite(QStringLiteral("bed_look_1")), 100, 22);
    film.push_back({still, 0.6});
    play(film, name, room);
    return film;
}

Previews::Film Previews::phoneSpell() const {
    Film film;
    const QImage room = blank(400, 200);
    QImage look = room.copy(), phone = room.copy();
    place(look, sprite(QStringLiteral("bed_look_1")), 100, 22);
    place(phone, sprite(QStringLiteral("bed_phone_scroll_1")), 100, 22);
    film.push_back({look, 0.6});
    play(film, QStringLiteral("bed_phone_in"), room);
    for (const char* loop : {"bed_phone_scroll", "bed_phone_like", "bed_phone_watch",
                             "bed_phone_giggle", "bed_phone_roll"}) {
        film.push_back({phone, 0.5});
        play(film, QString::fromLatin1(loop), room);
    }
    film.push_back({phone, 0.5});
    play(film, QStringLiteral("bed_phone_out"), room);
    film.push_back({look, 0.8});
    return film;
}

bool Previews::save(const Film& film, const QString& name) const {
    QTemporaryDir dir;
    QStringList args{QStringLiteral("-loop"), QStringLiteral("0")};
    // GIF delays are whole hundredths; rounding the running time keeps the total exact.
    double clock = 0;
    int shown = 0, index = 0;
    for (size_t i = 0; i < film.size(); ++i) {
        double seconds = film[i].seconds;
        // Identical consecutive pictures become one longer one.
        while (i + 1 < film.size() && film[i + 1].image == film[i].image)
            seconds += film[++i].seconds;
        clock += seconds;
        const int delay = int(std::lround(clock * 100)) - shown;
        shown += delay;
        const QString path =
            dir.filePath(QStringLiteral("%1.png").arg(index++, 5, 10, QLatin1Char('0')));
        if (!film[i].image.save(path)) return false;
        args << QStringLiteral("-delay") << QString::number(delay) << path;
    }
    args << out + u'/' + name;
    const int code = QProcess::execute(QStringLiteral("convert"), args);
    if (code != 0) std::fprintf(stderr, "purrlox-art: convert failed for %s\n", qPrintable(name));
    return code == 0;
}

bool Previews::write() const {
    return save(walk(false), QStringLiteral("walk_plain.gif")) &&
           save(walk(true), QStringLiteral("walk_letter.gif")) &&
           save(climb(), QStringLiteral("climb_and_pull_over.gif")) &&
           save(dangle(), QStringLiteral("dangle.gif")) &&
           save(bedClip(QStringLiteral("bed_doze")), QStringLiteral("bed_doze.gif")) &&
           save(bedClip(QStringLiteral("bed_cocoa")), QStringLiteral("bed_cocoa.gif")) &&
           save(bedClip(QStringLiteral("bed_knead")), QStringLiteral("bed_knead.gif")) &&
           save(bedClip(QStringLiteral("bed_music")), QStringLiteral("bed_music.gif")) &&
           save(phoneSpell(), QStringLiteral("phone_spell.gif"));
}
