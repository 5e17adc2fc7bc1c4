#include "strings/Language.h"

#include <QLocale>

QString code(Language language) {
    switch (language) {
    case Language::en:
        return QStringLiteral("en");
    case Language::ru:
        return QStringLiteral("ru");
    }
    return QStringLiteral("en");
}

std::optional<Language> languageFromCode(QStringView identifier) {
    // QLocale parses language[_script][_territory][.codeset][@modifier] with '-' or '_', and
    // answers the C locale for anything it does not recognise.
    switch (QLocale(identifier.toString()).language()) {
    case QLocale::English:
        return Language::en;
    case QLocale::Russian:
        return Language::ru;
    default:
        return std::nullopt;
    }
}

const QList<Language>& availableLanguages() {
    static const QList<Language> languages{Language::en, Language::ru};
    return languages;
}
