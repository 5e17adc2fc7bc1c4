#include "strings/Lang.h"

#include "fakes/Fakes.h"
#include "strings/Strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> vars) {
    QProcessEnvironment env;
    for (const auto& [name, value] : vars)
        env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return env;
}

void writeSettings(const SettingsStore& store, const QByteArray& json) {
    QDir().mkpath(QFileInfo(store.settingsPath()).absolutePath());
    QFile file(store.settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(json);
}

} // namespace

TEST(Language, FromLocaleIdentifiers) {
    for (const char* id : {"en", "en-GB", "en_US", "EN", "en_US.UTF-8"})
        EXPECT_EQ(languageFromCode(QString::fromLatin1(id)), Language::en) << id;
    for (const char* id : {"ru", "ru-RU", "ru_RU.UTF-8", "ru_UA@euro"})
        EXPECT_EQ(languageFromCode(QString::fromLatin1(id)), Language::ru) << id;
    for (const char* id : {"", "C", "POSIX", "C.UTF-8", "fr", "de_DE", "xx", "english"})
        EXPECT_EQ(languageFromCode(QString::fromLatin1(id)), std::nullopt) << id;
    EXPECT_EQ(code(Language::ru), "ru");
    EXPECT_EQ(availableLanguages(), (QList<Language>{Language::en, Language::ru}));
}

TEST(Lang, FirstEnglishOrRussianEntryDecides) {
    EXPECT_EQ(Lang::resolve({"de", "ru", "en"}), Language::ru);
    EXPECT_EQ(Lang::resolve({"de"}), Language::en);
    EXPECT_EQ(Lang::resolve({}), Language::en);
    EXPECT_EQ(Lang::resolve({"C", "fr_FR.UTF-8", "ru_RU.UTF-8", "en"}), Language::ru);
    EXPECT_EQ(Lang::resolve({"en_GB", "ru"}), Language::en);
}

TEST(Lang, EnvironmentListInGettextOrder) {
    using Lang::preferredFromEnvironment;
    EXPECT_EQ(
        preferredFromEnvironment(environment({{"LANGUAGE", "de:ru::en"}, {"LANG", "en_US.UTF-8"}})),
        QStringList({"de", "ru", "en", "en_US.UTF-8"}));
    // LC_ALL beats LC_MESSAGES beats LANG; only the first that is set counts.
    EXPECT_EQ(preferredFromEnvironment(
                  environment({{"LC_ALL", "ru_RU.UTF-8"}, {"LC_MESSAGES", "de"}, {"LANG", "en"}})),
              QStringList({"ru_RU.UTF-8"}));
    EXPECT_EQ(preferredFromEnvironment(environment({{"LC_MESSAGES", "de_DE"}, {"LANG", "ru_RU"}})),
              QStringList({"de_DE"}));
    EXPECT_EQ(preferredFromEnvironment(environment({{"LC_ALL", ""}, {"LANG", "ru_RU"}})),
              QStringList({"ru_RU"}));
    // Without a real locale gettext does not translate, whatever LANGUAGE says.
    EXPECT_EQ(Lang::resolve(
                  preferredFromEnvironment(environment({{"LANGUAGE", "ru"}, {"LANG", "C.UTF-8"}}))),
              Language::en);
    EXPECT_TRUE(preferredFromEnvironment(environment({{"LANGUAGE", "ru"}})).isEmpty());
    EXPECT_TRUE(preferredFromEnvironment(QProcessEnvironment()).isEmpty());
}

TEST(Lang, ChosenReadsOnlyAOneCodeList) {
    TempSettingsStore d;
    EXPECT_EQ(Lang::chosenIn(*d), std::nullopt); // absent

    const std::pair<QByteArray, std::optional<Language>> stored[] = {
        {R"({"languages": ["ru-RU"]})", Language::ru},
        {R"({"languages": ["en"]})", Language::en},
        {R"({"languages": ["fr"]})", std::nullopt},
        {R"({"languages": []})", std::nullopt},
        {R"({"languages": "ru"})", std::nullopt},
        {R"({"languages": [7, "ru"]})", std::nullopt},
        {R"({"languages": ["de", "ru"]})", std::nullopt}, // the first element decides
        {R"({"AppleLanguages": ["ru"]})", std::nullopt},
    };
    for (const auto& [json, expected] : stored) {
        writeSettings(*d, json);
        EXPECT_EQ(Lang::chosenIn(*d.reopened()), expected) << json.toStdString();
    }
}

TEST(Lang, ChooseStoresOneCodeOrRemovesTheKey) {
    TempSettingsStore d;
    Lang::chooseIn(*d, Language::ru);
    EXPECT_EQ(d.reopened()->textList("languages"), QStringList{"ru"});
    EXPECT_EQ(Lang::chosenIn(*d), Language::ru);

    Lang::chooseIn(*d, std::nullopt);
    EXPECT_FALSE(d.reopened()->contains("languages"));
    EXPECT_EQ(Lang::chosenIn(*d), std::nullopt);
}

TEST(Lang, StoredChoiceOverridesTheSystem) {
    TempSettingsStore d;
    const QProcessEnvironment russian = environment({{"LANG", "ru_RU.UTF-8"}});
    EXPECT_EQ(Lang::resolve(Lang::preferred(*d, russian)), Language::ru);
    Lang::chooseIn(*d, Language::en);
    EXPECT_EQ(Lang::preferred(*d, russian), QStringList({"en", "ru_RU.UTF-8"}));
    EXPECT_EQ(Lang::resolve(Lang::preferred(*d, russian)), Language::en);
}

// The only test here that touches the process-wide values: it points the standard store at a
// temporary folder before anything reads it.
TEST(Lang, ProcessKeepsItsLanguageUntilRestart) {
    QTemporaryDir dir;
    qputenv("PURRLOX_CONFIG_HOME", dir.path().toUtf8() + "/config");
    qputenv("PURRLOX_DATA_HOME", dir.path().toUtf8() + "/data");
    qputenv("LC_ALL", "en_US.UTF-8");
    Lang::chooseIn(*std::make_unique<SettingsStore>(dir.path() + "/config", dir.path() + "/data"),
                   Language::ru);

    EXPECT_EQ(Lang::chosen(), Language::ru);
    EXPECT_EQ(Lang::current(), Language::ru);
    EXPECT_EQ(S().languageName(), QStringLiteral("Русский"));

    Lang::choose(Language::en);
    EXPECT_EQ(Lang::chosen(), Language::en);
    EXPECT_EQ(Lang::current(), Language::ru);
    EXPECT_EQ(&S(), &stringsFor(Language::ru));
    Lang::choose(std::nullopt);
    EXPECT_EQ(Lang::chosen(), std::nullopt);
}

// Dates follow the language of the texts, keeping the system's country formats when it
// speaks that language.
TEST(Lang, LocaleForTheLanguageInForce) {
    EXPECT_EQ(Lang::localeFor(Language::ru, QLocale("de_DE")).language(), QLocale::Russian);
    EXPECT_EQ(Lang::localeFor(Language::en, QLocale("ru_RU")).language(), QLocale::English);
    EXPECT_EQ(Lang::localeFor(Language::en, QLocale("en_GB")).territory(), QLocale::UnitedKingdom);
    EXPECT_EQ(Lang::localeFor(Language::ru, QLocale("ru_UA")).territory(), QLocale::Ukraine);
    // A German or French system whose language falls back to English keeps its 24-hour clock
    // and its day-first dates; the names are English. An American one keeps its own.
    for (const char* system : {"de_DE", "fr_FR", "es_ES", "ja_JP"}) {
        const QLocale english = Lang::localeFor(Language::en, QLocale(system));
        EXPECT_EQ(english.language(), QLocale::English) << system;
        EXPECT_EQ(english.toString(QTime(17, 30), QLocale::ShortFormat),
                  QLocale(system).toString(QTime(17, 30), QLocale::ShortFormat))
            << system;
        EXPECT_EQ(english.dayName(1, QLocale::LongFormat), "Monday") << system;
    }
    EXPECT_EQ(Lang::localeFor(Language::en, QLocale("de_DE"))
                  .toString(QDate(2026, 12, 8), QLocale::ShortFormat),
              "08/12/2026");
    EXPECT_EQ(Lang::localeFor(Language::en, QLocale("en_US"))
                  .toString(QTime(17, 30), QLocale::ShortFormat),
              "5:30 PM");
    // What the week report's weekday reads once it is the default.
    const QLocale previous;
    QLocale::setDefault(Lang::localeFor(Language::ru, QLocale("en_US")));
    EXPECT_EQ(QLocale().dayName(1, QLocale::LongFormat), QStringLiteral("понедельник"));
    QLocale::setDefault(previous);
}
