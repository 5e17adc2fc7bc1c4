#include "menu/BubbleCard.h"

#include "kit/Accessibility.h"
#include "kit/ChunkyButton.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

BubbleCard::BubbleCard(QWidget* parent) : Card(panel(), parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 12, 14, 14);
    column->setSpacing(8);
    heading_ = new TextLine({}, Fonts::rounded(11, QFont::Bold), Theme::inkSoft());
    column->addWidget(heading_);
    text_ = new QLabel;
    text_->setObjectName(QStringLiteral("bubbleText"));
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    text_->setFont(Fonts::rounded(14, QFont::DemiBold));
    QPalette palette = text_->palette();
    palette.setColor(QPalette::WindowText, Theme::ink());
    text_->setPalette(palette);
    column->addWidget(text_);
    row_ = new QHBoxLayout;
    row_->setSpacing(10);
    column->addLayout(row_);
}

void BubbleCard::present(const MenuBubble& bubble) {
    heading_->setText(bubble.heading);
    text_->setText(bubble.text);
    text_->setAccessibleName(Accessibility::spoken(bubble.text));
    // The old buttons go later: one of them may be the one being pressed.
    for (QWidget* button : std::as_const(buttons_)) {
        button->hide();
        button->deleteLater();
    }
    buttons_.clear();
    while (QLayoutItem* item = row_->takeAt(0))
        delete item;
    row_->addStretch(1);
    for (int i = 0; i < bubble.buttons.size(); ++i) {
        const MenuBubble::Button& b = bubble.buttons[i];
        const bool main = i == bubble.buttons.size() - 1;
        auto* button = new ChunkyButton(b.label, {main ? Theme::pink() : Theme::paper(), 13});
        button->setObjectName(QStringLiteral("bubbleButton%1").arg(i + 1));
        connect(button, &QAbstractButton::clicked, this, [press = b.press] {
            if (press) press();
        });
        row_->addWidget(button);
        buttons_.append(button);
    }
    row_->addStretch(1);
    setVisible(true);
}
