#pragma once

#include "strings/Language.h"

#include <QTranslator>

class QCoreApplication;

// Qt's own texts (its save dialog, the context menus of text fields, the time picker) in the
// interface language: Qt's catalogues from the system (package qt6-translations-l10n) and, over
// them, the few words those catalogues leave out, from our tables.
class QtTexts final : public QTranslator {
  public:
    explicit QtTexts(Language language, QObject* parent = nullptr);

    // Installs the catalogues on the application (nothing for English, Qt's own language).
    // False, with one log line, when Qt's catalogue of the language is missing.
    static bool install(QCoreApplication& app, Language language);

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }

  private:
    Language language_;
};
