#pragma once

#include <QStringList>

// Collects the lines the shared logger writes while it lives (other categories pass on).
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    QStringList messages() const { return lines_; }
    void clear() { lines_.clear(); }

  private:
    QStringList lines_;
};
