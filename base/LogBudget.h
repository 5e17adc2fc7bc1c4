#pragma once

#include <QElapsedTimer>
#include <QString>

// A budget of log lines for something a peer can repeat at will: at most `lines` a minute;
// the first line after a quiet spell says how many were left out.
class LogBudget {
  public:
    explicit LogBudget(int lines = 5) : lines_(lines) {}
    // Whether this line may be written; `line` gains the count of those left out before it.
    bool allow(QString& line);

  private:
    int lines_;
    int used_ = 0;
    int skipped_ = 0;
    QElapsedTimer window_;
};
