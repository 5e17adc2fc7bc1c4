#include "reminders/screen/RemindersScreen.h"

#include "base/Calendar.h"
#include "kit/Card.h"
#include "kit/ChunkyButton.h"
#include "kit/CuteToggle.h"
#include "kit/FieldCard.h"
#include "kit/Fonts.h"
#include "kit/QuietButton.h"
#include "kit/ScreenHeader.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "platform/Clock.h"
#include "reminders/ReminderEntry.h"
#include "reminders/Reminders.h"
#include "strings/Strings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr int padding = 14;

QVBoxLayout* padded(QWidget* card, int spacing) {
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);
    return column;
}

QFont whenFont() {
    return Fonts::rounded(12, QFont::Bold);
}

// One pending reminder: when (in a column `whenWidth` wide, so every text starts at the same
// place), the text on one line with the whole of it as the tooltip, 🔁 for a daily one, and ✕.
QWidget* row(const Reminder& reminder, const QDateTime& now, int whenWidth, Reminders& reminders,
             QWidget* parent) {
    auto* line = new QWidget(parent);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* when =
        new TextLine(ReminderEntry::when(reminder, now), whenFont(), Theme::inkSoft(), line);
    when->setFixedWidth(whenWidth); // the text gives way, never the time
    layout->addWidget(when);
    QString text = reminder.text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto* note = new TextLine(text, Fonts::rounded(13, QFont::DemiBold), Theme::ink(), line);
    note->setMinimumWidth(40); // a longer text is cut with an ellipsis
    note->setToolTip(reminder.text);
    layout->addWidget(note);
    if (reminder.daily) {
        QFont emoji = Fonts::rounded(11, QFont::Normal);
        auto* repeat = new TextLine(QStringLiteral("🔁"), emoji, Theme::ink(), line);
        repeat->setToolTip(S().everyDay());
        repeat->setMinimumWidth(repeat->sizeHint().width());
        layout->addWidget(repeat);
    }
    layout->addStretch(1);
    auto* remove = new QuietButton(QStringLiteral("✕"), line);
    remove->setUnderlined(false);
    remove->setToolTip(S().delete_());
    remove->setCursor(Qt::PointingHandCursor);
    const QUuid id = reminder.id;
    QObject::connect(remove, &QAbstractButton::clicked, &reminders,
                     [&reminders, id] { reminders.remove(id); });
    layout->addWidget(remove);
    return line;
}

} // namespace

QString RemindersScreen::when(const Reminder& reminder) {
    return ReminderEntry::when(reminder, Clock::system().now());
}

QDateTime RemindersScreen::nextHour() {
    return ReminderEntry::nextHour(Clock::system().now());
}

RemindersScreen::RemindersScreen(Reminders& reminders, Clock& clock, std::function<void()> back,
                                 QWidget* parent)
    : QWidget(parent), reminders_(reminders), clock_(clock),
      minutes_(ReminderEntry::initialMinutes) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    column->addLayout(screenHeader(this, S().reminders(), std::move(back)));

    // The editor.
    auto* editor = new Card(Card::panel(), this);
    QVBoxLayout* stack = padded(editor, 10);
    field_ = new FieldCard(S().reminderPlaceholder(), editor);
    connect(field_, &QLineEdit::textChanged, this, &RemindersScreen::textEdited);
    connect(field_, &QLineEdit::returnPressed, this, &RemindersScreen::add);
    stack->addWidget(field_);

    auto* modeRow = new QHBoxLayout;
    modeRow->setSpacing(6);
    in_ = new ChunkyButton(S().inSomeTime(), {Theme::sky(), 11}, editor);
    at_ = new ChunkyButton(S().atTime(), {Theme::paper(), 11}, editor);
    connect(in_, &QAbstractButton::clicked, this, [this] { setAtTime(false); });
    connect(at_, &QAbstractButton::clicked, this, [this] { setAtTime(true); });
    modeRow->addWidget(in_);
    modeRow->addWidget(at_);
    modeRow->addStretch(1);
    stack->addLayout(modeRow);

    modes_ = new QStackedWidget(editor);
    auto* afterPage = new QWidget(modes_);
    auto* afterRow = new QHBoxLayout(afterPage);
    afterRow->setContentsMargins(0, 0, 0, 0);
    afterRow->setSpacing(8);
    fewer_ = new ChunkyButton(QStringLiteral("−"), {Theme::sky(), 11}, afterPage);
    minutesText_ = new TextLine({}, Fonts::rounded(13, QFont::Bold), Theme::ink(), afterPage);
    minutesText_->setAlignment(Qt::AlignCenter);
    minutesText_->setMinimumWidth(78);
    more_ = new ChunkyButton(QStringLiteral("+"), {Theme::sky(), 11}, afterPage);
    connect(fewer_, &QAbstractButton::clicked, this,
            [this] { setMinutes(ReminderEntry::fewer(minutes_)); });
    connect(more_, &QAbstractButton::clicked, this,
            [this] { setMinutes(ReminderEntry::more(minutes_)); });
    afterRow->addWidget(fewer_);
    afterRow->addWidget(minutesText_);
    afterRow->addWidget(more_);
    afterRow->addStretch(1);
    modes_->addWidget(afterPage);

    auto* atPage = new QWidget(modes_);
    auto* atRow = new QHBoxLayout(atPage);
    atRow->setContentsMargins(0, 0, 0, 0);
    atRow->setSpacing(10);
    time_ = new QTimeEdit(ReminderEntry::nextHour(clock_.now()).toLocalTime().time(), atPage);
    // The clock of the locale, as the list shows it (16:00, or 4:00 PM).
    time_->setDisplayFormat(QLocale().timeFormat(QLocale::ShortFormat));
    time_->setButtonSymbols(QAbstractSpinBox::NoButtons); // arrows, wheel and typing step it
    time_->setAccessibleName(S().atTime());               // the mode it belongs to: "At"
    time_->setFont(Fonts::rounded(14, QFont::Medium));
    time_->setStyleSheet(
        QStringLiteral(
            "QTimeEdit { background: %1; color: %2; border: 2px solid %2; border-radius: 10px;"
            " padding: 4px 6px; }")
            .arg(Theme::paper().name(), Theme::ink().name()));
    daily_ = new CuteToggle(S().everyDay(), atPage);
    atRow->addWidget(time_);
    atRow->addWidget(daily_, 1);
    modes_->addWidget(atPage);
    // The stack is as tall as the page in view.
    connect(modes_, &QStackedWidget::currentChanged, this, [this] {
        for (int i = 0; i < modes_->count(); ++i)
            modes_->widget(i)->setSizePolicy(QSizePolicy::Preferred, i == modes_->currentIndex()
                                                                         ? QSizePolicy::Preferred
                                                                         : QSizePolicy::Ignored);
        modes_->adjustSize();
    });
    stack->addWidget(modes_);

    add_ = new ChunkyButton(S().remindMe(), {Theme::pink(), 14}, editor);
    add_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(add_, &QAbstractButton::clicked, this, &RemindersScreen::add);
    stack->addWidget(add_);
    column->addWidget(editor);

    // The list.
    listCard_ = new Card(Card::panel(), this);
    list_ = padded(listCard_, 8);
    column->addWidget(listCard_);
    empty_ = new QLabel(S().remindersEmpty(), this);
    empty_->setWordWrap(true);
    empty_->setFont(Fonts::rounded(12, QFont::DemiBold));
    QPalette soft = empty_->palette();
    soft.setColor(QPalette::WindowText, Theme::inkSoft());
    empty_->setPalette(soft);
    column->addWidget(empty_);
    connect(&reminders_, &Reminders::listChanged, this, &RemindersScreen::rebuildList);
    midnight_.setSingleShot(true);
    connect(&midnight_, &QTimer::timeout, this, &RemindersScreen::rebuildList);

    setMinutes(minutes_);
    setAtTime(false);
    emit modes_->currentChanged(0);
    textEdited();
    rebuildList();
}

void RemindersScreen::setAtTime(bool atTime) {
    atTime_ = atTime;
    in_->setLook({atTime ? Theme::paper() : Theme::sky(), 11});
    at_->setLook({atTime ? Theme::sky() : Theme::paper(), 11});
    modes_->setCurrentIndex(atTime ? 1 : 0);
}

void RemindersScreen::setMinutes(int minutes) {
    minutes_ = minutes;
    minutesText_->setText(S().duration(minutes_));
    fewer_->setEnabled(minutes_ > ReminderEntry::minMinutes);
    more_->setEnabled(minutes_ < ReminderEntry::maxMinutes);
}

void RemindersScreen::textEdited() {
    const QString text = field_->text();
    const QString cut = ReminderEntry::cut(text);
    if (cut != text) {
        const int cursor = std::min(field_->cursorPosition(), int(cut.size()));
        field_->setText(cut); // comes back here once, with the cut text
        field_->setCursorPosition(cursor);
        return;
    }
    add_->setEnabled(!ReminderEntry::trimmed(text).isEmpty());
}

void RemindersScreen::add() {
    const QString text = ReminderEntry::trimmed(field_->text());
    if (text.isEmpty()) return;
    const QDateTime now = clock_.now();
    reminders_.insert(atTime_ ? ReminderEntry::atTime(text, time_->time(), daily_->isChecked(), now)
                              : ReminderEntry::afterMinutes(text, minutes_, now));
    // The emptied field disables the button: the focus goes back to the field for the next
    // note, rather than on to whatever follows the button.
    if (add_->hasFocus()) field_->setFocus(Qt::OtherFocusReason);
    field_->clear();
}

QList<QWidget*> RemindersScreen::rows() const {
    QList<QWidget*> out;
    for (int i = 0; i < list_->count(); ++i)
        if (QWidget* w = list_->itemAt(i)->widget()) out.push_back(w);
    return out;
}

void RemindersScreen::rebuildList() {
    while (QLayoutItem* item = list_->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater(); // its ✕ may be the button being clicked right now
        }
        delete item;
    }
    const QDateTime now = clock_.now();
    const QFontMetricsF metrics(whenFont());
    double whenWidth = 0;
    for (const Reminder& reminder : reminders_.list())
        whenWidth =
            std::max(whenWidth, metrics.horizontalAdvance(ReminderEntry::when(reminder, now)));
    for (const Reminder& reminder : reminders_.list())
        list_->addWidget(row(reminder, now, int(std::ceil(whenWidth)), reminders_, listCard_));
    for (QWidget* w : rows())
        w->show(); // rows made while the screen is up are otherwise shown only later
    const qint64 untilMidnight = now.msecsTo(Calendar::startOfDay(Calendar::dayOf(now).addDays(1)));
    midnight_.start(int(std::clamp<qint64>(untilMidnight + 500, 1000, 86'400'000)));
    const bool empty = reminders_.list().isEmpty();
    listCard_->setVisible(!empty);
    empty_->setVisible(empty);
}

void RemindersScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    rebuildList(); // "tomorrow" becomes today overnight
}
