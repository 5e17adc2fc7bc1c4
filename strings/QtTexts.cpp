#include "strings/QtTexts.h"

#include "base/Log.h"
#include "strings/Strings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

QtTexts::QtTexts(Language language, QObject* parent) : QTranslator(parent), language_(language) {}

bool QtTexts::install(QCoreApplication& app, Language language) {
    if (language == Language::en) return true;
    // qtbase holds every text of Qt's widgets and dialogs; installed first, asked last.
    auto* catalogue = new QTranslator(&app);
    const bool found =
        catalogue->load(QLocale(code(language)), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (found)
        app.installTranslator(catalogue);
    else
        delete catalogue;
    app.installTranslator(new QtTexts(language, &app));
    if (!found)
        Log::notice(QStringLiteral("Qt's own %1 texts are missing (qt6-translations-l10n); its "
                                   "dialogs speak English")
                        .arg(code(language)));
    return found;
}

QString QtTexts::translate(const char* context, const char* sourceText, const char*, int) const {
    // The file dialog's Type column and tooltips: the kind of an entry.
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0 &&
        qstrcmp(context, "QFileIconProvider") != 0)
        return {};
    const Strings& texts = stringsFor(language_);
    const QLatin1StringView source(sourceText);
    if (source == QLatin1StringView("Folder")) return texts.folderKind();
    if (source == QLatin1StringView("File")) return texts.fileKind();
    if (source == QLatin1StringView("%1 File")) return texts.fileOfType(QStringLiteral("%1"));
    if (source == QLatin1StringView("Drive")) return texts.driveKind();
    return {};
}
