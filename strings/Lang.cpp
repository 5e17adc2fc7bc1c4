#include "strings/Lang.h"

#include "platform/SettingsStore.h"

namespace Lang {

namespace {

const QString storeKey = QString::fromLatin1(key);

bool isPlainLocale(const QString& locale) {
    return locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX") ||
           locale.startsWith(QLatin1String("C."));
}

} // namespace

std::optional<Language> chosenIn(const Settings& store) {
    const std::optional<QStringList> codes = store.textList(storeKey);
    if (!codes || codes->isEmpty()) return std::nullopt;
    const std::optional<Language> language = languageFromCode(codes->first());
    if (!language || !availableLanguages().contains(*language)) return std::nullopt;
    return language;
}

void chooseIn(Settings& store, std::optional<Language> language) {
    if (language)
        store.setTextList(storeKey, {code(*language)});
    else
        store.remove(storeKey);
}

QStringList preferredFromEnvironment(const QProcessEnvironment& environment) {
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment.value(QString::fromLatin1(name));
        if (!locale.isEmpty()) break;
    }
    QStringList list;
    // gettext ignores LANGUAGE when messages are not localised at all.
    if (!isPlainLocale(locale))
        list = environment.value(QStringLiteral("LANGUAGE")).split(u':', Qt::SkipEmptyParts);
    if (!locale.isEmpty()) list.append(locale);
    return list;
}

QStringList preferred(const Settings& store, const QProcessEnvironment& environment) {
    QStringList list = preferredFromEnvironment(environment);
    if (const std::optional<Language> choice = chosenIn(store)) list.prepend(code(*choice));
    return list;
}

Language resolve(const QStringList& preferred) {
    for (const QString& entry : preferred) {
        const std::optional<Language> language = languageFromCode(entry);
        if (language && availableLanguages().contains(*language)) return *language;
    }
    return Language::en;
}

Language current() {
    static const Language language =
        resolve(preferred(SettingsStore::standard(), QProcessEnvironment::systemEnvironment()));
    return language;
}

std::optional<Language> chosen() {
    return chosenIn(SettingsStore::standard());
}

QLocale localeFor(Language language, const QLocale& system) {
    if (languageFromCode(system.name()) == language) return system;
    // The texts' language with the system's formats: that language as spoken in the system's
    // country when Qt knows it (en_DE), else the variant whose clock and short date read like
    // the system's (a French system gets en_GB's 24-hour clock, never en_US's 12-hour one).
    const QLocale plain(code(language));
    const QString time = system.timeFormat(QLocale::ShortFormat);
    const QString date = system.dateFormat(QLocale::ShortFormat);
    QLocale best = plain;
    int bestScore = plain.timeFormat(QLocale::ShortFormat) == time ? 2 : 0;
    bestScore += plain.dateFormat(QLocale::ShortFormat) == date ? 1 : 0;
    for (const QLocale& candidate :
         QLocale::matchingLocales(plain.language(), QLocale::AnyScript, QLocale::AnyTerritory)) {
        if (candidate.territory() == system.territory()) return candidate;
        const int score = (candidate.timeFormat(QLocale::ShortFormat) == time ? 2 : 0) +
                          (candidate.dateFormat(QLocale::ShortFormat) == date ? 1 : 0);
        if (score > bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    return best;
}

void choose(std::optional<Language> language) {
    chooseIn(SettingsStore::standard(), language);
}

} // namespace Lang
