#include "art/FrameArt.h"

#include "art/CatPainter.h"
#include "art/Families.h"
#include "art/Palettiser.h"
#include "art/PropPainter.h"

#include <QPainter>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>

FrameName FrameName::split(const QString& imageName) {
    static const QRegularExpression numbered(QStringLiteral("^(.*)_(\\d+)$"));
    const auto m = numbered.match(imageName);
    if (!m.hasMatch()) return {imageName, 0};
    return {m.captured(1), m.captured(2).toInt()};
}

FrameArt FrameArt::of(CatSprite sprite) {
    const QString raw = sprite.rawValue();
    if (sprite == CatSprite::bedEmpty)
        return {QSize(canvasPoints, canvasPoints / 2) * pixelsPerPoint, Pose{}, true};
    const FrameName name = FrameName::split(raw);
    for (auto family :
         {Families::walking, Families::everyday, Families::snacking, Families::hanging,
          Families::held, Families::inBed, Families::gadgets, Families::phone}) {
        if (auto pose = family(name))
            return {QSize(canvasPoints, canvasPoints) * pixelsPerPoint, *pose, false};
    }
    std::fprintf(stderr, "purrlox-art: no art for frame %s\n", qPrintable(raw));
    std::exit(1);
}

QImage FrameArt::render() const {
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixelsPerPoint, pixelsPerPoint);
    if (emptyBed) {
        PropPainter props(p);
        props.bedBack(0);
        props.bedFront(0);
    } else {
        CatPainter(p).paint(pose);
    }
    p.end();
    return Palettiser::toIndexed(image, bedRows);
}
