#include "art/ContactSheet.h"

#include "art/Families.h"
#include "art/Previews.h"
#include "frames/CatSprite.h"

#include <QDir>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int columns = 8;
constexpr int cell = 192;
constexpr int labelHeight = 22;
const QColor light(0xEC, 0xF1, 0xF6);
const QColor dark(0x2A, 0x2E, 0x38);

} // namespace

QImage ContactSheet::frame(const QString& framesDir, const QString& imageName) {
    const QImage image(framesDir + u'/' + imageName + QStringLiteral(".png"));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ContactSheet::wallpaper(QImage& image) {
    QPainter p(&image);
    p.fillRect(QRect(0, 0, image.width() / 2, image.height()), light);
    p.fillRect(QRect(image.width() / 2, 0, image.width() - image.width() / 2, image.height()),
               dark);
}

bool ContactSheet::writeSheet(const QString& family, const QStringList& names) const {
    const int rows = int((names.size() + columns - 1) / columns);
    QImage sheet(columns * cell, rows * (cell + labelHeight), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);
    for (int i = 0; i < int(names.size()); ++i) {
        const QRect box((i % columns) * cell, (i / columns) * (cell + labelHeight), cell, cell);
        // Cells alternate light and dark wallpaper; a faint line marks the feet line.
        p.fillRect(box, (i + i / columns) % 2 ? dark : light);
        p.setPen(QPen(QColor(0x7F, 0xB8, 0xE8, 150), 1));
        p.drawLine(box.left(), box.top() + 160, box.right(), box.top() + 160);
        const QImage image = frame(frames, names[i]);
        if (image.isNull()) {
            std::fprintf(stderr, "purrlox-art: no frame %s\n", qPrintable(names[i]));
            return false;
        }
        p.drawImage(box.left(), box.bottom() + 1 - image.height(), image);
        p.setPen(Qt::black);
        p.drawText(QRect(box.left(), box.bottom() + 1, cell, labelHeight), Qt::AlignCenter,
                   names[i]);
    }
    p.end();
    return sheet.save(out + QStringLiteral("/sheet_") + family + QStringLiteral(".png"));
}

bool ContactSheet::write() const {
    if (!QDir().mkpath(out)) return false;
    // Families with several frames get a sheet each; the single frames share one.
    QList<QPair<QString, QStringList>> families;
    for (CatSprite sprite : CatSprite::allCases()) {
        const QString name = sprite.rawValue();
        const QString stem = FrameName::split(name).stem;
        if (families.isEmpty() || families.back().first != stem) families.append({stem, {}});
        families.back().second.append(name);
    }
    QStringList singles;
    for (const auto& [stem, names] : families) {
        if (names.size() < 3) {
            singles += names;
            continue;
        }
        if (!writeSheet(stem, names)) return false;
    }
    if (!writeSheet(QStringLiteral("poses"), singles)) return false;
    if (!Previews(frames, out).write()) return false;
    std::printf("purrlox-art: contact sheets and previews in %s\n", qPrintable(out));
    return true;
}
