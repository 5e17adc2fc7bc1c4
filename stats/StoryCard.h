#pragma once

#include "focus/FocusRecords.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QWidget>

class FocusLog;

// The week as a portrait picture for social-media stories: 405 × 720 points, rendered at
// 8/3 into a 1080 × 1920 PNG. Built from the same pieces as the statistics screen.
class StoryCard final : public QWidget {
    Q_OBJECT
  public:
    static constexpr double width = 405;
    static constexpr double height = 720;
    static constexpr double scale = 8.0 / 3.0;

    StoryCard(const FocusWeek& week, int streak, QDate today, QWidget* parent = nullptr);

    // The week's date range, "7–13 December" (empty for a week without days).
    static QString dates(const QList<FocusDay>& days, bool year);

    // The card of the week of `now` (five shares), drawn at 8/3 into a 1080 × 1920 image;
    // a null image when it cannot be drawn.
    static QImage picture(const FocusLog& log, const QDateTime& now);
    // The PNG bytes of picture(); empty (with the error logged) when nothing could be made.
    static QByteArray png(const FocusLog& log, const QDateTime& now);
    // Renders and offers the save dialog.
    static void save(const FocusLog& log, const QDateTime& now);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
