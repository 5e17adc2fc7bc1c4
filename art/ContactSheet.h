#pragma once

#include <QString>

// Pictures to judge the art by: one labelled sheet per family and animated previews at the
// engine's real timing, made from the frames as the build wrote them.
class ContactSheet {
  public:
    ContactSheet(QString framesDir, QString outDir)
        : frames(std::move(framesDir)), out(std::move(outDir)) {}

    bool write() const;

  private:
    QString frames;
    QString out;
};
