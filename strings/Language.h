#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// An interface language. The order of the cases is the order in which languages are offered.
enum class Language { en, ru };

// The two-letter code, "en" or "ru".
QString code(Language language);

// The language of a locale identifier: "en", "en-GB", "en_US", "ru_RU.UTF-8" ... Other
// languages, "C", "POSIX" and identifiers without a language give none.
std::optional<Language> languageFromCode(QStringView identifier);

// The languages this build ships, in case order.
const QList<Language>& availableLanguages();
