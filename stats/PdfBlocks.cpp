#include "stats/PdfBlocks.h"

#include "base/Calendar.h"
#include "kit/Fonts.h"
#include "kit/SpriteImages.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "kit/WeekBars.h"
#include "stats/StatsCards.h"
#include "stats/StatsNumbers.h"
#include "stats/StatsPDF.h"
#include "stats/StoryCard.h"
#include "strings/Strings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {

TextLine* text(const QString& s, double size, QFont::Weight weight, const QColor& colour,
               QWidget* parent) {
    return new TextLine(s, Fonts::rounded(size, weight), colour, parent);
}

QVBoxLayout* column(QWidget* owner, int spacing, int padding = 0) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(spacing);
    return layout;
}

class Sprite final : public QWidget {
  public:
    Sprite(double side, QWidget* parent) : QWidget(parent) { setFixedSize(int(side), int(side)); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(rect()), SpriteImages::image(CatSprite::sit));
    }
};

// The day's shares, joined by " · " on as many lines as they need, breaking only between
// shares: a name stays on the line of its duration.
class ShareLines final : public QWidget {
  public:
    ShareLines(QStringList shares, QWidget* parent) : QWidget(parent), shares_(std::move(shares)) {
        setFont(Fonts::rounded(12, QFont::Medium));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return int(std::ceil(lines(width).size() * QFontMetricsF(font()).lineSpacing()));
    }
    QSize sizeHint() const override {
        return {int(std::ceil(QFontMetricsF(font()).horizontalAdvance(shares_.join(separator)))),
                heightForWidth(QWIDGETSIZE_MAX)};
    }
    QSize minimumSizeHint() const override { return {0, heightForWidth(QWIDGETSIZE_MAX)}; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font());
        p.setPen(Theme::inkSoft());
        const QFontMetricsF metrics(font());
        double baseline = metrics.ascent();
        for (QString line : lines(width())) {
            // Reads in the page's direction even when its first name is right-to-left.
            if (line.isRightToLeft()) line.prepend(QChar(0x200E));
            Fonts::drawText(p, QPointF(0, baseline), line);
            baseline += metrics.lineSpacing();
        }
    }

  private:
    static inline const QString separator = QStringLiteral(" · ");
    QStringList lines(int width) const {
        const QFontMetricsF metrics(font());
        QStringList out;
        for (const QString& share : shares_) {
            if (!out.isEmpty()) {
                const QString longer = out.back() + separator + share;
                if (metrics.horizontalAdvance(longer) <= width) {
                    out.back() = longer;
                    continue;
                }
            }
            out << share;
        }
        return out;
    }

    QStringList shares_;
};

} // namespace

Tile::Tile(const QString& title, const QString& value, QWidget* parent)
    : Card({Theme::cream(), 14, 0}, parent) {
    QVBoxLayout* stack = column(this, 4, 12);
    stack->addWidget(text(title, 11, QFont::Bold, Theme::inkSoft(), this));
    stack->addWidget(text(value, 18, QFont::ExtraBold, Theme::ink(), this));
}

WeekHead::WeekHead(const FocusWeek& week, int streak, QDate today, QWidget* parent)
    : QWidget(parent) {
    QVBoxLayout* stack = column(this, 14);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(new Sprite(72, this));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addStretch(1);
    titles->addWidget(text(S().weekInFocus(), 28, QFont::ExtraBold, Theme::ink(), this));
    titles->addWidget(
        text(StoryCard::dates(week.days, true), 14, QFont::DemiBold, Theme::inkSoft(), this));
    titles->addStretch(1);
    top->addLayout(titles, 1);
    stack->addLayout(top);

    const double total = StatsNumbers::total(week);
    const int focusDays = week.focusDays();
    struct Entry {
        QString title, value;
    };
    const QList<Entry> tiles{
        {S().totalInFocus(), StatsNumbers::duration(total)},
        {S().pomodorosTitle(), QString::number(StatsNumbers::pomodoros(week))},
        {S().daysInFocus(), S().ofSeven(focusDays)},
        {S().currentStreak(), QStringLiteral("🔥 ") + S().days(streak)},
        {S().bestDay(), StatsNumbers::duration(StatsNumbers::bestDay(week))},
        {S().dailyAverage(), StatsNumbers::duration(StatsNumbers::dailyAverage(week))},
    };
    auto* grid = new QGridLayout;
    grid->setSpacing(12);
    for (int i = 0; i < tiles.size(); ++i)
        grid->addWidget(new Tile(tiles[i].title, tiles[i].value, this), i / 3, i % 3);
    for (int c = 0; c < 3; ++c)
        grid->setColumnStretch(c, 1);
    stack->addLayout(grid);

    auto* barsCard = new Card({Theme::paper(), 16, 0}, this);
    column(barsCard, 0, 14)->addWidget(new WeekBars(week, 70, 12, barsCard, today));
    stack->addWidget(barsCard);
}

DayBlock::DayBlock(const FocusDay& day, QWidget* parent) : QWidget(parent) {
    QVBoxLayout* stack = column(this, 4);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(
        text(StatsPDF::dayName(Calendar::dayOf(day.date)), 14, QFont::Bold, Theme::ink(), this));
    row->addStretch(1);
    row->addWidget(text(StatsNumbers::duration(day.seconds) + QStringLiteral(" · ") +
                            S().pomodoros(day.pomodoros),
                        13, QFont::Bold, Theme::ink(), this));
    stack->addLayout(row);
    QStringList shares;
    for (const FocusShare& share : day.shares)
        shares << share.name + QLatin1Char(' ') + StatsNumbers::duration(share.seconds);
    if (!shares.isEmpty()) stack->addWidget(new ShareLines(shares, this));
}

SharesBlock::SharesBlock(const QString& title, const QList<FocusShare>& shares, QWidget* parent)
    : QWidget(parent) {
    QVBoxLayout* stack = column(this, 8);
    TextLine* heading = text(title, 17, QFont::ExtraBold, Theme::ink(), this);
    auto* headingBox = new QVBoxLayout;
    headingBox->setContentsMargins(4, 4, 4, 4);
    headingBox->addWidget(heading);
    stack->addLayout(headingBox);
    double total = 0;
    for (const FocusShare& share : shares)
        total += share.seconds;
    for (const FocusShare& share : shares) {
        auto* row = new QHBoxLayout;
        row->setSpacing(8);
        TextLine* name = text(share.name, 13, QFont::DemiBold, Theme::ink(), this);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        row->addWidget(name, 1);
        row->addWidget(
            text(StatsNumbers::duration(share.seconds), 13, QFont::Bold, Theme::ink(), this));
        TextLine* percent = text(S().percent(StatsNumbers::percent(share.seconds, total)), 12,
                                 QFont::DemiBold, Theme::inkSoft(), this);
        percent->setFixedWidth(40);
        percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(percent);
        stack->addLayout(row);
    }
}
