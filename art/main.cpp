// purrlox-art: draws every frame of the cat's catalogue as a PNG, plus the resource list.
//   purrlox-art --out DIR                 frames and DIR/frames.qrc
//   purrlox-art --sheets DIR --frames DIR contact sheets and animated previews to look at
#include "art/ContactSheet.h"
#include "art/FrameArt.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool writeIfChanged(const QString& path, const QByteArray& bytes) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return true;
    // A plain write: the whole folder is regenerated on failure, so no fsync per frame.
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

int drawAll(const QString& dir) {
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "purrlox-art: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/frames\">\n";
    for (CatSprite sprite : CatSprite::allCases()) {
        const QString name = sprite.rawValue() + QStringLiteral(".png");
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!FrameArt::of(sprite).render().save(&buffer, "PNG") ||
            !writeIfChanged(dir + u'/' + name, png)) {
            std::fprintf(stderr, "purrlox-art: cannot write %s\n", qPrintable(name));
            return 1;
        }
        qrc += "  <file>" + name.toUtf8() + "</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    // Always rewritten: its time stamp tells the build that the frames are current.
    QFile list(dir + QStringLiteral("/frames.qrc"));
    if (!list.open(QIODevice::WriteOnly) || list.write(qrc) != qrc.size()) {
        std::fprintf(stderr, "purrlox-art: cannot write frames.qrc\n");
        return 1;
    }
    std::printf("purrlox-art: drew %d frames in %.2f s\n", int(CatSprite::allCases().size()),
                timer.elapsed() / 1000.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto value = [&](const QString& flag) {
        const qsizetype i = args.indexOf(flag);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    if (const QString out = value(QStringLiteral("--out")); !out.isEmpty()) return drawAll(out);
    if (const QString sheets = value(QStringLiteral("--sheets")); !sheets.isEmpty())
        return ContactSheet(value(QStringLiteral("--frames")), sheets).write() ? 0 : 1;
    std::fprintf(stderr, "usage: purrlox-art --out DIR | --sheets DIR --frames DIR\n");
    return 2;
}
