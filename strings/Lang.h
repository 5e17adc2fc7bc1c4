#pragma once

#include "strings/Language.h"

#include <QLocale>
#include <QProcessEnvironment>
#include <QStringList>
#include <optional>

class Settings;

// The language in force and the user's stored choice. The choice takes effect on the next
// start: current() is decided once per process.
namespace Lang {

// The settings key of the stored choice: a list with one code, absent for "Same as system".
inline constexpr char key[] = "languages";

// The language of this process, from the stored choice and then the environment.
Language current();
// The stored choice of the standard store; none means "Same as system".
std::optional<Language> chosen();
// Stores the choice in the standard store; none removes it.
void choose(std::optional<Language> language);

// The pieces of the above, over a given store and environment.
std::optional<Language> chosenIn(const Settings& store);
void chooseIn(Settings& store, std::optional<Language> language);
// Locale identifiers in gettext order: the LANGUAGE list (unless the locale is C or POSIX),
// then the first set of LC_ALL, LC_MESSAGES, LANG.
QStringList preferredFromEnvironment(const QProcessEnvironment& environment);
// The stored choice first, then the environment's list.
QStringList preferred(const Settings& store, const QProcessEnvironment& environment);
// The first entry in English or Russian decides; English when none is.
Language resolve(const QStringList& preferred);

// The locale for dates and numbers in `language`: the system's own when it speaks that
// language; otherwise that language's variant closest to the system's formats (same country,
// else the same clock and short date), so names follow the texts and formats the system.
QLocale localeFor(Language language, const QLocale& system);

} // namespace Lang
