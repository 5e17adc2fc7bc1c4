#pragma once

#include "focus/Letter.h"
#include "sprites/Bubble.h"

#include <functional>

class QScrollArea;

// An opened letter: its heading, the text (or a focus report), and "Done ✓", or "Later" and
// "Update" for the offer of a new version.
class LetterBubble final : public Bubble {
    Q_OBJECT
  public:
    static constexpr double plainWidth = 250;
    static constexpr double reportWidth = 290;
    static constexpr int scrollFrom = 111;      // characters from which the text scrolls
    static constexpr double scrollHeight = 140; // the text's scroll area

    LetterBubble(const Letter& letter, std::function<void()> onRead, std::function<void()> onUpdate,
                 QWidget* parent = nullptr);

    const Letter& letter() const { return letter_; }
    // Whether a letter's text is shown in the scroll area: by characters as the reader
    // counts them (an emoji with its modifiers is one).
    static bool scrolls(const QString& text);
    // The height the bubble may take; a report longer than that scrolls.
    void setAvailableHeight(int height);
    QScrollArea* scrollArea() const { return scroll_; }

  private:
    Letter letter_;
    QScrollArea* scroll_ = nullptr;
    QWidget* report_ = nullptr;
};
