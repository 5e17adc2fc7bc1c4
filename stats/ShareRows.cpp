#include "stats/ShareRows.h"

#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "stats/Bar.h"
#include "stats/StatsNumbers.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

double totalOf(const QList<FocusShare>& shares) {
    double total = 0;
    for (const FocusShare& s : shares)
        total += s.seconds;
    return total;
}

bool sameNames(const QList<FocusShare>& a, const QList<FocusShare>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name) return false;
    return true;
}

} // namespace

ShareRows::ShareRows(const QList<FocusShare>& shares, QWidget* parent)
    : QWidget(parent), shares_(shares), rows_(new QVBoxLayout(this)) {
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(7);
    rebuild();
}

void ShareRows::setShares(const QList<FocusShare>& shares) {
    if (shares == shares_) return;
    const bool rebuilds = !sameNames(shares, shares_);
    shares_ = shares;
    if (rebuilds)
        rebuild();
    else
        refill();
}

QList<double> ShareRows::fractions() const {
    QList<double> out;
    const double total = totalOf(shares_);
    for (const FocusShare& s : shares_)
        out.push_back(total > 0 ? s.seconds / total : 0);
    return out;
}

void ShareRows::rebuild() {
    while (QLayoutItem* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<double> parts = fractions();
    for (qsizetype i = 0; i < shares_.size(); ++i) {
        auto* block = new QWidget(this);
        auto* column = new QVBoxLayout(block);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(3);
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        auto* name =
            new TextLine(shares_[i].name, Fonts::rounded(13, QFont::DemiBold), Theme::ink(), block);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed); // elides when long
        auto* duration = new TextLine(StatsNumbers::duration(shares_[i].seconds),
                                      Fonts::rounded(12, QFont::Normal), Theme::inkSoft(), block);
        duration->setObjectName(QStringLiteral("duration"));
        line->addWidget(name, 1, Qt::AlignBottom);
        line->addSpacing(4);
        line->addWidget(duration, 0, Qt::AlignBottom);
        column->addLayout(line);
        column->addWidget(new Bar(parts[i], Theme::pink(), 7, block));
        rows_->addWidget(block);
        block->show(); // rows made while the card is up are otherwise shown only later
    }
}

void ShareRows::refill() {
    const QList<double> parts = fractions();
    for (qsizetype i = 0; i < shares_.size(); ++i) {
        QWidget* block = rows_->itemAt(int(i))->widget();
        block->findChild<TextLine*>(QStringLiteral("duration"))
            ->setText(StatsNumbers::duration(shares_[i].seconds));
        block->findChild<Bar*>()->set(parts[i], Theme::pink());
    }
}
