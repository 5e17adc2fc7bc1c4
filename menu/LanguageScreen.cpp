#include "menu/LanguageScreen.h"

#include "kit/Card.h"
#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "strings/Strings.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A flat button showing its label and, when chosen, a tick at the trailing end.
class Row : public QAbstractButton {
  public:
    Row(const QString& label, bool chosen) : chosen_(chosen) {
        setText(label);
        setCursor(Qt::PointingHandCursor);
        // Comfortaa has no semibold: the other rows stay regular so the chosen one stands out.
        setFont(Fonts::rounded(14, chosen ? QFont::Black : QFont::Normal));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        FocusRing::mark(*this);
    }
    QSize sizeHint() const override {
        return {int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 24,
                int(std::ceil(QFontMetricsF(font()).height())) + 14};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        if (isDown()) p.setOpacity(0.6);
        p.setFont(font());
        p.setPen(Theme::ink());
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
        if (chosen_) {
            // The check drawn as a stroke of the heavy text's weight: the fonts' ✓ is a
            // hairline beside Comfortaa.
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Theme::ink(), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF c(width() - 8, height() / 2.0);
            const QPointF check[] = {c + QPointF(-5.5, 0.5), c + QPointF(-2, 4),
                                     c + QPointF(4, -4)};
            p.drawPolyline(check, 3);
        }
    }

  private:
    bool chosen_;
};

// The plain back button of a sub-screen.
class BackButton : public QAbstractButton {
  public:
    BackButton() {
        setText(S().back());
        setFont(Fonts::rounded(13, QFont::Bold));
        setCursor(Qt::PointingHandCursor);
        FocusRing::mark(*this);
    }
    QSize sizeHint() const override {
        const QFontMetricsF m(font());
        return {int(std::ceil(m.horizontalAdvance(text()))), int(std::ceil(m.height()))};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        if (isDown()) p.setOpacity(0.5);
        p.setFont(font());
        p.setPen(Theme::ink());
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
};

} // namespace

LanguageScreen::LanguageScreen(std::function<void(std::optional<Language>)> choose,
                               std::function<void()> back, std::optional<Language> chosen,
                               QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    auto* top = new QHBoxLayout;
    back_ = new BackButton;
    back_->setObjectName(QStringLiteral("backButton"));
    connect(back_, &QAbstractButton::clicked, this, std::move(back));
    top->addWidget(back_);
    top->addStretch(1);
    top->addWidget(new TextLine(QStringLiteral("🌐 ") + S().language(),
                                Fonts::rounded(17, QFont::ExtraBold), Theme::ink()));
    column->addLayout(top);

    auto* card = new Card;
    auto* list = new QVBoxLayout(card);
    list->setContentsMargins(14, 8, 14, 8);
    list->setSpacing(0);
    QList<std::optional<Language>> values{std::nullopt};
    for (Language language : availableLanguages())
        values.append(language);
    for (const std::optional<Language>& value : values) {
        const QString label = value ? stringsFor(*value).languageName() : S().sameAsSystem();
        auto* row = new Row(label, value == chosen);
        row->setObjectName(QStringLiteral("languageRow%1").arg(rows_.size()));
        connect(row, &QAbstractButton::clicked, this, [choose, value, chosen] {
            if (value != chosen) choose(value);
        });
        list->addWidget(row);
        rows_.append(row);
    }
    column->addWidget(card);
}
