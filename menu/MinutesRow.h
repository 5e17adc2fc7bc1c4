#pragma once

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

class ChunkyButton;
class TextLine;

// A titled "− 25 min +" stepper over an ascending list of choices. A value that is not one of
// the choices still steps to its neighbours.
class MinutesRow : public QWidget {
    Q_OBJECT
  public:
    MinutesRow(const QString& title, QList<int> choices, std::function<void(int)> set,
               QWidget* parent = nullptr);

    void setValue(int minutes);
    int value() const { return value_; }

    // The last choice smaller than v, and the first one larger.
    static std::optional<int> below(const QList<int>& choices, int v);
    static std::optional<int> above(const QList<int>& choices, int v);

    ChunkyButton* minus() const { return minus_; }
    ChunkyButton* plus() const { return plus_; }

  private:
    QList<int> choices_;
    std::function<void(int)> set_;
    int value_ = 0;
    ChunkyButton* minus_;
    ChunkyButton* plus_;
    TextLine* shown_;
};
