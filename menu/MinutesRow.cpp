#include "menu/MinutesRow.h"

#include "kit/ChunkyButton.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "strings/Strings.h"

#include <QHBoxLayout>

MinutesRow::MinutesRow(const QString& title, QList<int> choices, std::function<void(int)> set,
                       QWidget* parent)
    : QWidget(parent), choices_(std::move(choices)), set_(std::move(set)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(new TextLine(title, Fonts::rounded(13, QFont::DemiBold), Theme::ink()));
    row->addStretch(1);
    minus_ = new ChunkyButton(QStringLiteral("\u2212"), {Theme::sky(), 11});
    plus_ = new ChunkyButton(QStringLiteral("+"), {Theme::sky(), 11});
    minus_->setAccessibleName(S().fewerMinutes(title));
    plus_->setAccessibleName(S().moreMinutes(title));
    shown_ = new TextLine({}, Fonts::rounded(13, QFont::Normal), Theme::ink());
    shown_->setTabular(true);
    shown_->setAlignment(Qt::AlignCenter);
    shown_->setFixedWidth(52);
    row->addWidget(minus_);
    row->addWidget(shown_);
    row->addWidget(plus_);
    connect(minus_, &QAbstractButton::clicked, this, [this] {
        if (const auto v = below(choices_, value_)) set_(*v);
    });
    connect(plus_, &QAbstractButton::clicked, this, [this] {
        if (const auto v = above(choices_, value_)) set_(*v);
    });
}

void MinutesRow::setValue(int minutes) {
    value_ = minutes;
    shown_->setText(S().minutes(minutes));
    minus_->setEnabled(below(choices_, minutes).has_value());
    plus_->setEnabled(above(choices_, minutes).has_value());
}

std::optional<int> MinutesRow::below(const QList<int>& choices, int v) {
    for (qsizetype i = choices.size() - 1; i >= 0; --i)
        if (choices[i] < v) return choices[i];
    return std::nullopt;
}

std::optional<int> MinutesRow::above(const QList<int>& choices, int v) {
    for (int c : choices)
        if (c > v) return c;
    return std::nullopt;
}
