#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class FocusLog;

// The week as a printable report on A4 pages (595 × 842 points, 40-point margins): the head,
// one block per day with at least a minute of focus, and the activities (up to eight). Drawn
// by the same widgets as the screen into a QPdfWriter, so the text stays real text.
namespace StatsPDF {

// The blocks in order, and which of them each page holds.
struct Layout {
    std::vector<std::unique_ptr<QWidget>> blocks;
    QList<QList<int>> pages;
};

// "Monday, 7 December" in the default locale.
QString dayName(QDate date);
// A block's height when laid out at the content width.
double measure(QWidget& block);
// The week of `now`, laid out into pages.
Layout pages(const FocusLog& log, const QDateTime& now);
// The PDF document; empty (with the error logged) when it cannot be made.
QByteArray data(const FocusLog& log, const QDateTime& now);
// Makes the PDF and offers the save dialog.
void save(const FocusLog& log, const QDateTime& now);

} // namespace StatsPDF
