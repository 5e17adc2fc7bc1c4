#include "kit/LinkCard.h"

#include "kit/Card.h"
#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

// The count on a pink capsule with an ink outline.
class Badge : public QWidget {
  public:
    Badge() { setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); }
    void setCount(int n) {
        text_ = QString::number(n);
        updateGeometry();
        update();
    }
    QSize sizeHint() const override {
        const QFontMetricsF m(font());
        return {int(std::ceil(m.horizontalAdvance(text_))) + 14, int(std::ceil(m.height())) + 2};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
        p.setPen(QPen(Theme::ink(), 1.5));
        p.setBrush(Theme::pink());
        p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        p.setFont(font());
        p.setPen(Theme::ink());
        p.drawText(rect(), Qt::AlignCenter, text_);
    }

  private:
    QString text_;
};

LinkCard::LinkCard(const QString& title, QWidget* parent) : QAbstractButton(parent), title_(title) {
    setCursor(Qt::PointingHandCursor);
    FocusRing::mark(*this, 16);
    setAccessibleName(title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 12, 14, 12 + 3); // the card's lift sits under the padding
    row->setSpacing(8);
    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    titleRow->addWidget(new TextLine(title, Fonts::rounded(15, QFont::Bold), Theme::ink()));
    badgeView_ = new Badge;
    badgeView_->setFont(Fonts::rounded(11, QFont::Black));
    badgeView_->hide();
    titleRow->addWidget(badgeView_);
    titleRow->addStretch(1);
    column->addLayout(titleRow);
    subtitle_ = new TextLine({}, Fonts::rounded(12, QFont::DemiBold), Theme::ink());
    subtitle_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(subtitle_);
    row->addLayout(column, 1);
    row->addWidget(
        new TextLine(QStringLiteral("›"), Fonts::rounded(22, QFont::Black), Theme::ink()));
    for (QWidget* child : findChildren<QWidget*>())
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LinkCard::setBadge(std::optional<int> count) {
    badge_ = count;
    if (count) badgeView_->setCount(*count);
    badgeView_->setVisible(count.has_value());
}

void LinkCard::setSubtitle(const QString& subtitle) {
    subtitle_->setText(subtitle);
    // A screen reader reads the whole card as one button, its title and then its subtitle.
    setAccessibleName(subtitle.isEmpty() ? title_ : title_ + QStringLiteral(", ") + subtitle);
}

QString LinkCard::subtitle() const {
    return subtitle_->text();
}

QSize LinkCard::sizeHint() const {
    return layout()->sizeHint();
}

QSize LinkCard::minimumSizeHint() const {
    return layout()->minimumSize();
}

void LinkCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Card::Look look = Card::panel();
    Card::paint(p, QRectF(0, 0, width(), height() - look.lift), look);
}
