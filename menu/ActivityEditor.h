#pragma once

#include <QStringList>
#include <QWidget>

class FieldCard;
class FocusLog;
class Flow;
class Pomodoro;

// The activity name field of a stopped pomodoro, with chips of recent activities under it.
class ActivityEditor : public QWidget {
    Q_OBJECT
  public:
    static constexpr int longest = 30; // characters, as the user sees them

    ActivityEditor(Pomodoro& pomodoro, FocusLog& log, QWidget* parent = nullptr);

    // The first `longest` user-perceived characters (an emoji or an accented letter is one).
    static QString cut(const QString& text, int limit = longest);
    // Up to three of the four most recent names, without the current one.
    static QStringList suggestions(const QStringList& recent, const QString& current);

    FieldCard* field() const { return field_; }
    QList<QWidget*> chips() const;

  private:
    void showActivity(const QString& name);
    void rebuildChips();

    Pomodoro& pomodoro_;
    FocusLog& log_;
    FieldCard* field_;
    QWidget* chipBox_;
    Flow* chipFlow_;
    QStringList shownChips_;
};
