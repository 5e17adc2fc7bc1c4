#pragma once

#include "kit/Card.h"
#include "menu/MenuBubble.h"

class QLabel;
class QHBoxLayout;
class TextLine;

// The open bubble on the main page, above the pomodoro: its heading, its words and the same
// buttons ("Done ✓", "Later" and "Update", "Put back"), so the keyboard reaches them.
class BubbleCard : public Card {
    Q_OBJECT
  public:
    explicit BubbleCard(QWidget* parent = nullptr);
    void present(const MenuBubble& bubble);
    QList<QWidget*> buttons() const { return buttons_; }

  private:
    TextLine* heading_;
    QLabel* text_;
    QHBoxLayout* row_;
    QList<QWidget*> buttons_;
};
