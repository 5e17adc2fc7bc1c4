#include "menu/ActivityEditor.h"

#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"
#include "kit/ChunkyButton.h"
#include "kit/FieldCard.h"
#include "kit/Flow.h"
#include "kit/Theme.h"
#include "strings/Strings.h"

#include <QTextBoundaryFinder>
#include <QVBoxLayout>

ActivityEditor::ActivityEditor(Pomodoro& pomodoro, FocusLog& log, QWidget* parent)
    : QWidget(parent), pomodoro_(pomodoro), log_(log) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    field_ = new FieldCard(S().activityPlaceholder());
    field_->setObjectName(QStringLiteral("activityField"));
    field_->setSelectsOnFirstClick(true);
    column->addWidget(field_);
    chipBox_ = new QWidget;
    chipFlow_ = new Flow(6, chipBox_);
    column->addWidget(chipBox_);

    showActivity(pomodoro_.activity());
    rebuildChips();
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString kept = cut(text);
        if (kept != text) {
            const int cursor = std::min<int>(field_->cursorPosition(), int(kept.size()));
            field_->setText(kept); // comes back here with the cut text
            field_->setCursorPosition(cursor);
            return;
        }
        if (text != pomodoro_.activity()) pomodoro_.setActivity(text);
    });
    connect(&pomodoro_, &Pomodoro::activityChanged, this, [this](const QString& name) {
        showActivity(name);
        rebuildChips();
    });
    connect(&log_, &FocusLog::stretchesChanged, this, &ActivityEditor::rebuildChips);
}

QString ActivityEditor::cut(const QString& text, int limit) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() >= 0) {
        if (++count == limit) return text.left(graphemes.position());
    }
    return text;
}

QStringList ActivityEditor::suggestions(const QStringList& recent, const QString& current) {
    QStringList out;
    for (const QString& name : recent.mid(0, 4))
        if (name != current && out.size() < 3) out << name;
    return out;
}

QList<QWidget*> ActivityEditor::chips() const {
    QList<QWidget*> out;
    for (int i = 0; i < chipFlow_->count(); ++i)
        out << chipFlow_->itemAt(i)->widget();
    return out;
}

void ActivityEditor::showActivity(const QString& name) {
    if (field_->text() != name) field_->setText(name);
}

void ActivityEditor::rebuildChips() {
    const QStringList names = suggestions(log_.recent(4), pomodoro_.activity());
    if (names == shownChips_ && chipFlow_->count() == names.size()) return;
    shownChips_ = names;
    while (QLayoutItem* item = chipFlow_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString& name : names) {
        auto* chip = new ChunkyButton(name, {Theme::blush(), 11});
        chip->setObjectName(QStringLiteral("chip%1").arg(chipFlow_->count() + 1));
        chip->setMaximumWidth(QWIDGETSIZE_MAX);
        connect(chip, &QAbstractButton::clicked, this,
                [this, name] { pomodoro_.setActivity(name); });
        chipFlow_->addWidget(chip);
    }
    chipBox_->setVisible(!names.isEmpty());
}
