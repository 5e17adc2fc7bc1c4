#include "stats/StoryCard.h"

#include "base/Calendar.h"
#include "base/Config.h"
#include "base/Log.h"
#include "focus/FocusLog.h"
#include "kit/Card.h"
#include "kit/Fonts.h"
#include "kit/SpriteImages.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "kit/WeekBars.h"
#include "stats/Export.h"
#include "stats/StatsNumbers.h"
#include "strings/Strings.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// Qt's PNG quality picks zlib's level: a lighter one encodes a flat picture faster
// for some more bytes.
constexpr int pngQuality = 70;

TextLine* line(const QString& text, double size, QFont::Weight weight, const QColor& colour,
               QWidget* parent) {
    auto* label = new TextLine(text, Fonts::rounded(size, weight), colour, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget* totalCard(const FocusWeek& week, int streak, QWidget* parent) {
    auto* card = new Card({Theme::paper(), 26, 5}, parent);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(18, 18, 18, 18);
    column->setSpacing(8);
    TextLine* total = line(StatsNumbers::duration(StatsNumbers::total(week)), 46, QFont::ExtraBold,
                           Theme::ink(), card);
    total->setTabular(true);
    column->addWidget(total);
    QString counts = QStringLiteral("🍅 ") + S().pomodoros(StatsNumbers::pomodoros(week));
    if (streak >= 2) counts += QStringLiteral("   ") + S().streak(streak);
    column->addWidget(line(counts, 15, QFont::Bold, Theme::ink(), card));
    return card;
}

QWidget* barsCard(const FocusWeek& week, QDate today, QWidget* parent) {
    auto* card = new Card({Theme::paper(), 22, 0}, parent);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(18, 18, 18, 18);
    column->addWidget(new WeekBars(week, 70, 15, card, today));
    return card;
}

QWidget* sharesCard(const FocusWeek& week, QWidget* parent) {
    auto* card = new Card({Theme::blush(), 22, 0}, parent);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(18, 18, 18, 18);
    column->setSpacing(8);
    for (const FocusShare& share : week.shares) {
        auto* row = new QHBoxLayout;
        row->setSpacing(8);
        auto* name = new TextLine(share.name, Fonts::rounded(18, QFont::Bold), Theme::ink(), card);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed); // a long name elides
        name->setMinimumWidth(std::min(name->sizeHint().width(), 220));
        auto* duration = new TextLine(StatsNumbers::duration(share.seconds),
                                      Fonts::rounded(17, QFont::ExtraBold), Theme::ink(), card);
        duration->setTabular(true);
        row->addWidget(name, 1);
        row->addWidget(duration, 0);
        column->addLayout(row);
    }
    return card;
}

class CatPicture final : public QWidget {
  public:
    CatPicture(double side, QWidget* parent) : QWidget(parent) {
        setFixedSize(int(side), int(side));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(rect()), SpriteImages::image(CatSprite::sit));
    }
};

} // namespace

StoryCard::StoryCard(const FocusWeek& week, int streak, QDate today, QWidget* parent)
    : QWidget(parent) {
    setFixedSize(int(width), int(height));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(30, 34, 30, 22);
    column->setSpacing(14);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(line(S().myWeekInFocus(), 30, QFont::ExtraBold, Theme::ink(), this));
    header->addWidget(line(dates(week.days, false), 17, QFont::Bold, Theme::inkSoft(), this));
    column->addLayout(header);
    column->addWidget(totalCard(week, streak, this));
    column->addWidget(barsCard(week, today, this));
    if (!week.shares.isEmpty()) column->addWidget(sharesCard(week, this));
    column->addStretch(1);

    auto* foot = new QVBoxLayout;
    foot->setSpacing(0); // the site sits 14 points closer than the stack's spacing
    foot->addWidget(new CatPicture(84, this), 0, Qt::AlignHCenter);
    foot->addWidget(line(Config::site(), 14, QFont::Bold, Theme::inkSoft(), this));
    column->addLayout(foot);
}

QString StoryCard::dates(const QList<FocusDay>& days, bool year) {
    if (days.isEmpty()) return {};
    return S().dateSpan(Calendar::dayOf(days.first().date), Calendar::dayOf(days.last().date),
                        year);
}

void StoryCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Theme::sky());
}

QImage StoryCard::picture(const FocusLog& log, const QDateTime& now) {
    StoryCard card(log.week(now, 5), log.streak(now).dayCount, Calendar::dayOf(now));
    card.setAttribute(Qt::WA_DontShowOnScreen);
    card.show(); // lays out every child
    QImage image(int(std::round(width * scale)), int(std::round(height * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Theme::sky());
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);
    card.render(&p);
    p.end();
    return image;
}

QByteArray StoryCard::png(const FocusLog& log, const QDateTime& now) {
    const QImage image = picture(log, now);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) ||
        !image.save(&buffer, "PNG", pngQuality) || bytes.isEmpty()) {
        Log::error(QStringLiteral("cannot render the story card"));
        return {};
    }
    return bytes;
}

void StoryCard::save(const FocusLog& log, const QDateTime& now) {
    const QByteArray bytes = png(log, now);
    if (bytes.isEmpty()) return;
    Export::save(bytes, Export::name(QStringLiteral("png"), Calendar::dayOf(now)),
                 Export::Type::png);
}
