#pragma once

#include "strings/Language.h"

#include <QWidget>
#include <functional>
#include <optional>

class QAbstractButton;

// "Same as system" and every shipped language, each named in its own language, with a tick
// on the stored choice. Choosing another row hands it to `choose`.
class LanguageScreen : public QWidget {
    Q_OBJECT
  public:
    LanguageScreen(std::function<void(std::optional<Language>)> choose, std::function<void()> back,
                   std::optional<Language> chosen, QWidget* parent = nullptr);

    // The rows in order: none (same as system), then each available language.
    QList<QAbstractButton*> rows() const { return rows_; }
    QAbstractButton* backButton() const { return back_; }

  private:
    QList<QAbstractButton*> rows_;
    QAbstractButton* back_;
};
