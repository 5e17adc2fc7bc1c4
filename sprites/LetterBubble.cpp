#include "sprites/LetterBubble.h"

#include "kit/ChunkyButton.h"
#include "kit/Fonts.h"
#include "kit/QuietButton.h"
#include "kit/Theme.h"
#include "sprites/BubbleText.h"
#include "sprites/ReportBody.h"
#include "strings/Strings.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>

namespace {

QScrollArea* clearScrollArea(QWidget* content, Qt::ScrollBarPolicy vertical) {
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(vertical);
    area->setWidgetResizable(true);
    area->setAttribute(Qt::WA_TranslucentBackground);
    area->viewport()->setAutoFillBackground(false);
    area->setWidget(content);
    content->setAutoFillBackground(false); // setWidget turns it on
    // The theme's own bar: a pink pill outlined in ink on a faint rounded track, no arrows.
    const QColor track(Theme::ink().red(), Theme::ink().green(), Theme::ink().blue(), 24);
    area->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: %1; width: 10px; margin: 0;"
                       " border: none; border-radius: 5px; }"
                       "QScrollBar::handle:vertical { background: %2; border: 2px solid %3;"
                       " border-radius: 5px; min-height: 28px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical"
                       " { height: 0; border: none; background: none; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical"
                       " { background: none; }")
            .arg(track.name(QColor::HexArgb), Theme::pink().name(), Theme::ink().name()));
    return area;
}

} // namespace

bool LetterBubble::scrolls(const QString& text) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() != -1 && count < scrollFrom)
        ++count;
    return count >= scrollFrom;
}

LetterBubble::LetterBubble(const Letter& letter, std::function<void()> onRead,
                           std::function<void()> onUpdate, QWidget* parent)
    : Bubble(true, letter.report ? reportWidth : plainWidth, parent), letter_(letter) {
    QVBoxLayout* column = this->column();
    column->setSpacing(10);
    const double inner = bubbleWidth() - 2 * padding;

    const QString heading = letter.report   ? letter.report->title
                            : letter.update ? S().newVersion()
                                            : S().reminderTitle();
    column->addSpacing(6);
    column->addWidget(
        new BubbleText(heading, Fonts::rounded(11, QFont::Bold), Theme::inkSoft(), 0));

    if (letter.report) {
        report_ = new ReportBody(letter.text, *letter.report);
        scroll_ = clearScrollArea(report_, Qt::ScrollBarAsNeeded);
        column->addWidget(scroll_);
    } else {
        auto* text =
            new BubbleText(letter.text, Fonts::rounded(16, QFont::DemiBold), Theme::ink(), 2);
        if (scrolls(letter.text)) {
            scroll_ = clearScrollArea(text, Qt::ScrollBarAlwaysOn);
            scroll_->setFixedHeight(int(scrollHeight));
            column->addWidget(scroll_);
        } else {
            column->addWidget(text);
        }
    }

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(14);
    buttons->setAlignment(Qt::AlignCenter);
    if (letter.update) {
        auto* later = new QuietButton(S().later());
        connect(later, &QAbstractButton::clicked, this, [onRead] { onRead(); });
        auto* update = new ChunkyButton(S().update(), {Theme::pink(), 14});
        connect(update, &QAbstractButton::clicked, this, [onUpdate] { onUpdate(); });
        buttons->addWidget(later, 0, Qt::AlignVCenter);
        buttons->addWidget(update, 0, Qt::AlignVCenter);
    } else {
        auto* done = new ChunkyButton(S().done(), {Theme::pink(), 14});
        connect(done, &QAbstractButton::clicked, this, [onRead] { onRead(); });
        buttons->addWidget(done);
    }
    column->addSpacing(2);
    column->addLayout(buttons);
    setFixedWidth(int(bubbleWidth()));
    Q_UNUSED(inner);
}

void LetterBubble::setAvailableHeight(int height) {
    if (!report_ || !scroll_) return;
    // The report as it is when it fits, else as much of it as fits, scrolling.
    const int natural = report_->heightForWidth(int(bubbleWidth() - 2 * padding));
    const int whole = natural > 0 ? natural : report_->sizeHint().height();
    const int rest = naturalHeight() - scroll_->height();
    const int room = std::max(height - rest, 60);
    scroll_->setFixedHeight(std::min(whole, room));
}
