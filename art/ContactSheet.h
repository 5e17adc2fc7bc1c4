#pragma once

#include <QImage>
#include <QString>

// Pictures to judge the art by, made from the frames as the build wrote them: one labelled sheet
// per family, and animated previews at the engine's real timing (Previews).
class ContactSheet {
  public:
    ContactSheet(QString framesDir, QString outDir)
        : frames(std::move(framesDir)), out(std::move(outDir)) {}

    bool write() const;

    // A frame as written by the build, 32-bit premultiplied; a null image when it is missing.
    static QImage frame(const QString& framesDir, const QString& imageName);

    // Half light, half dark wallpaper, so the cat is seen on both.
    static void wallpaper(QImage& image);

  private:
    bool writeSheet(const QString& family, const QStringList& names) const;

    QString frames;
    QString out;
};
