#include "sprites/ReportBody.h"

#include "kit/Fonts.h"
#include "kit/Theme.h"
#include "kit/WeekBars.h"
#include "sprites/BubbleText.h"

#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr double rowSpacing = 5;
constexpr double sidePadding = 12;
constexpr double endPadding = 9;

QFont nameFont() {
    return Fonts::rounded(13, QFont::DemiBold);
}
QFont timeFont() {
    return Fonts::rounded(13, QFont::Bold);
}
double rowHeight() {
    return std::max(QFontMetricsF(nameFont()).height(), QFontMetricsF(timeFont()).height());
}

} // namespace

ReportBody::ReportBody(const QString& greeting, const FocusReport& report, QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(
        new BubbleText(greeting, Fonts::rounded(14, QFont::DemiBold), Theme::ink(), 2));
    if (report.bars) column->addWidget(new WeekBars(*report.bars, std::nullopt, 40, 10));
    if (!report.rows.isEmpty()) column->addWidget(new ReportRows(report.rows));
    if (!report.notes.isEmpty()) {
        auto* notes = new QVBoxLayout;
        notes->setSpacing(3);
        for (const QString& note : report.notes)
            notes->addWidget(
                new BubbleText(note, Fonts::rounded(12, QFont::DemiBold), Theme::inkSoft(), 0));
        column->addLayout(notes);
    }
}

ReportRows::ReportRows(QList<FocusReport::Row> rows, QWidget* parent)
    : QWidget(parent), rows_(std::move(rows)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize ReportRows::sizeHint() const {
    const double n = double(rows_.size());
    const double h = n * rowHeight() + std::max(n - 1, 0.0) * rowSpacing + 2 * endPadding;
    return {100, int(std::ceil(h))};
}

void ReportRows::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF card = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(Theme::ink(), 2));
    p.setBrush(Theme::blush());
    p.drawRoundedRect(card, 12, 12);

    const QFontMetricsF names(nameFont());
    const QFontMetricsF times(timeFont());
    const double inner = width() - 2 * sidePadding;
    double top = endPadding;
    for (const FocusReport::Row& row : rows_) {
        const double baseline = top + std::max(names.ascent(), times.ascent());
        const double timeWidth = Fonts::tabularAdvance(row.time, times);
        p.setPen(Theme::ink());
        p.setFont(timeFont());
        Fonts::drawTabular(p, QPointF(width() - sidePadding - timeWidth, baseline), row.time,
                           times);
        // The name keeps to one line and leaves at least 4 points before the time.
        p.setFont(nameFont());
        const QString name =
            names.elidedText(row.name, Qt::ElideRight, std::max(inner - timeWidth - 4, 0.0));
        p.drawText(QPointF(sidePadding, baseline), name);
        top += rowHeight() + rowSpacing;
    }
}
