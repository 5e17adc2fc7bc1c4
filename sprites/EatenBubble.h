#pragma once

#include "sprites/Bubble.h"

#include <QStringList>
#include <functional>

class BubbleText;

// After the cat ate dropped files: "Yum!", what went to the Trash, and "Put back".
class EatenBubble final : public Bubble {
    Q_OBJECT
  public:
    static constexpr double bubbleWidth = 250;

    EatenBubble(const QStringList& names, std::function<void()> onPutBack,
                QWidget* parent = nullptr);
    // A big drop goes down in bites; the count follows.
    void setNames(const QStringList& names);
    QString message() const;

  private:
    QStringList names_;
    BubbleText* message_;
};
