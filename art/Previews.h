#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <vector>

// Animated previews (GIF, through ImageMagick's convert) of the frames in motion, at the timing
// the engine plays them: the walks, climbing and pulling over, dangling, bed clips and a spell
// with the phone.
class Previews {
  public:
    Previews(QString framesDir, QString outDir)
        : frames(std::move(framesDir)), out(std::move(outDir)) {}

    bool write() const;

  private:
    struct Shot {
        QImage image;
        double seconds;
    };
    using Film = std::vector<Shot>;

    // A frame's opaque bounds in its own points, y up (as the engine's geometry).
    struct Bounds {
        double minX, minY, maxX, maxY;
        double height() const { return maxY - minY; }
    };
    Bounds bounds(const QString& imageName) const;
    QImage sprite(const QString& imageName) const;

    Film walk(bool letter) const;
    Film climb() const;
    Film dangle() const;
    Film bedClip(const QString& name) const;
    Film phoneSpell() const;
    void play(Film& film, const QString& clip, const QImage& still) const;

    bool save(const Film& film, const QString& name) const;

    QString frames;
    QString out;
};
