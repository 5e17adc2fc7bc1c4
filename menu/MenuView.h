#pragma once

#include "menu/MenuBubble.h"
#include "menu/MenuModels.h"
#include "strings/Language.h"

#include <QWidget>
#include <optional>

class BubbleCard;
class MenuFooter;
class PomodoroCard;
class RemindersLink;
class StatsLink;
class QVBoxLayout;

// The content of the menu window: the main page (header, pomodoro card, the statistics and
// reminders links, footer) or one sub-screen in its place. 310 points wide, cream.
class MenuView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int contentWidth = 310;
    enum class Screen { reminders, stats, language };

    explicit MenuView(MenuModels models, QWidget* parent = nullptr);

    std::optional<Screen> screen() const { return screen_; }
    // Replaces the main page by a sub-screen; false (nothing changes) when it is not built.
    bool open(Screen screen);
    // Back to the main page.
    void back();
    // The language screen's choice: stop the pomodoro, store the choice, arrange a start once
    // this process has gone, and quit.
    void choose(std::optional<Language> language);
    // The cat's open bubble, repeated at the top of the main page while it shows.
    void showBubble(const std::optional<MenuBubble>& bubble);
    BubbleCard* bubbleCard() const { return bubble_; }

    QWidget* mainPage() const { return main_; }
    Pomodoro& pomodoro() const { return models_.pomodoro; }
    QWidget* subScreen() const { return sub_; }
    PomodoroCard* pomodoroCard() const { return pomodoro_; }
    StatsLink* statsLink() const { return stats_; }
    RemindersLink* remindersLink() const { return reminders_; }
    MenuFooter* footer() const { return footer_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* buildMain();
    // Gives the keyboard focus to the first control inside `widget` that Tab reaches.
    static void focusFirstIn(QWidget* widget);

    MenuModels models_;
    QVBoxLayout* layout_;
    QWidget* main_;
    QWidget* sub_ = nullptr;
    std::optional<Screen> screen_;
    PomodoroCard* pomodoro_ = nullptr;
    StatsLink* stats_ = nullptr;
    RemindersLink* reminders_ = nullptr;
    MenuFooter* footer_ = nullptr;
    BubbleCard* bubble_ = nullptr;
};
