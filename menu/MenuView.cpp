#include "menu/MenuView.h"

#include "focus/Pomodoro.h"
#include "kit/Accessibility.h"
#include "kit/Fonts.h"
#include "kit/QuietButton.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "menu/BubbleCard.h"
#include "menu/LanguageScreen.h"
#include "menu/MenuFooter.h"
#include "menu/PomodoroCard.h"
#include "menu/RemindersLink.h"
#include "menu/StatsLink.h"
#include "strings/Lang.h"
#include "strings/Strings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The sitting cat, 58 points square, drawn smooth, spilling 8 points over its neighbours.
class CatPicture : public QWidget {
  public:
    explicit CatPicture(QImage image) : image_(std::move(image)) { setFixedSize(58, 58); }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (image_.isNull()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(0, 0, 58, 58), image_);
    }

  private:
    QImage image_;
};

} // namespace

MenuView::MenuView(MenuModels models, QWidget* parent)
    : QWidget(parent), models_(std::move(models)) {
    setFixedWidth(contentWidth);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(16, 16, 16, 16);
    layout_->setSpacing(0);
    main_ = buildMain();
    layout_->addWidget(main_);
}

QWidget* MenuView::buildMain() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    auto* header = new QHBoxLayout;
    // The picture has 8 points of air on every side: it overlaps its neighbours by that much.
    header->setContentsMargins(-8, -8, 0, -8);
    header->setSpacing(10 - 8);
    header->addWidget(new CatPicture(models_.catPicture));
    header->addWidget(
        new TextLine(QStringLiteral("Purrlox"), Fonts::rounded(20, QFont::Black), Theme::ink()));
    header->addStretch(1);
    column->addLayout(header);

    bubble_ = new BubbleCard;
    bubble_->setObjectName(QStringLiteral("bubbleCard"));
    bubble_->hide();
    column->addWidget(bubble_);
    pomodoro_ = new PomodoroCard(models_.pomodoro, models_.focusLog);
    column->addWidget(pomodoro_);
    stats_ = new StatsLink(models_.focusLog, models_.clock);
    stats_->setObjectName(QStringLiteral("statsLink"));
    connect(stats_, &QAbstractButton::clicked, this, [this] { open(Screen::stats); });
    column->addWidget(stats_);
    reminders_ = new RemindersLink(models_.reminders, models_.clock);
    reminders_->setObjectName(QStringLiteral("remindersLink"));
    connect(reminders_, &QAbstractButton::clicked, this, [this] { open(Screen::reminders); });
    column->addWidget(reminders_);
    footer_ = new MenuFooter(
        models_.launchAtLogin, models_.selfUpdate ? &models_.defaults : nullptr,
        [this] { open(Screen::language); },
        [this] {
            if (models_.quit) models_.quit();
        });
    column->addWidget(footer_);
    return page;
}

bool MenuView::open(Screen screen) {
    QWidget* built = nullptr;
    auto goBack = [this] { back(); };
    switch (screen) {
    case Screen::stats:
        if (models_.screens.stats) built = models_.screens.stats(goBack);
        break;
    case Screen::reminders:
        if (models_.screens.reminders) built = models_.screens.reminders(goBack);
        break;
    case Screen::language:
        built = new LanguageScreen([this](std::optional<Language> l) { choose(l); }, goBack,
                                   Lang::chosenIn(models_.defaults));
        break;
    }
    if (!built) return false;
    // A screen reader names the screen by its title.
    const QString title = screen == Screen::stats       ? S().stats()
                          : screen == Screen::reminders ? S().reminders()
                                                        : S().language();
    built->setAccessibleName(Accessibility::spoken(title));
    if (sub_) sub_->deleteLater();
    sub_ = built;
    screen_ = screen;
    main_->hide();
    layout_->addWidget(sub_);
    sub_->show();
    focusFirstIn(sub_);
    return true;
}

void MenuView::back() {
    if (!sub_) return;
    const std::optional<Screen> left = screen_;
    // Deleted later: back() is usually called from a button inside the screen.
    sub_->hide();
    layout_->removeWidget(sub_);
    sub_->deleteLater();
    sub_ = nullptr;
    screen_.reset();
    main_->show();
    // The keyboard comes back to the control that opened the screen.
    QWidget* opener = left == Screen::stats ? static_cast<QWidget*>(stats_)
                      : left == Screen::reminders
                          ? static_cast<QWidget*>(reminders_)
                          : static_cast<QWidget*>(footer_->languageButton());
    if (opener && window()->isVisible()) opener->setFocus(Qt::OtherFocusReason);
}

void MenuView::focusFirstIn(QWidget* widget) {
    if (!widget->window()->isVisible()) return;
    for (QWidget* w = widget->nextInFocusChain(); w && w != widget && widget->isAncestorOf(w);
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(widget) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void MenuView::showBubble(const std::optional<MenuBubble>& bubble) {
    if (!bubble) {
        bubble_->hide();
        return;
    }
    bubble_->present(*bubble);
    // Its buttons come first when Tab walks the page, as they stand first on it.
    const QList<QWidget*> buttons = bubble_->buttons();
    QWidget* before = pomodoro_->previousInFocusChain();
    for (QWidget* button : buttons) {
        QWidget::setTabOrder(before, button);
        before = button;
    }
}

void MenuView::choose(std::optional<Language> language) {
    models_.pomodoro.stop();
    Lang::chooseIn(models_.defaults, language);
    if (models_.relaunch) models_.relaunch(); // a failure is logged there; quit regardless
    if (models_.quit) models_.quit();
}

int MenuView::heightForWidth(int w) const {
    return layout_->hasHeightForWidth() ? layout_->totalHeightForWidth(w)
                                        : layout_->totalSizeHint().height();
}

QSize MenuView::sizeHint() const {
    return {contentWidth, heightForWidth(contentWidth)};
}

void MenuView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Theme::cream());
}
