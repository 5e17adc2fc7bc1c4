#include "app/ExportAutomation.h"

#include "platform/Clock.h"
#include "stats/Export.h"
#include "stats/StatsPDF.h"
#include "stats/StoryCard.h"

std::optional<QJsonObject> answerExportRequest(const FocusLog& log, const Clock& clock,
                                               const QJsonObject& request) {
    if (request.value(QLatin1String("cmd")).toString() != QLatin1String("export"))
        return std::nullopt;
    const QString png = request.value(QLatin1String("png")).toString();
    const QString pdf = request.value(QLatin1String("pdf")).toString();
    if (png.isEmpty() && pdf.isEmpty())
        return QJsonObject{{"error", QStringLiteral("export needs \"png\" or \"pdf\"")}};
    const QDateTime now = clock.now();
    if (!png.isEmpty()) {
        const QByteArray bytes = StoryCard::png(log, now);
        if (bytes.isEmpty())
            return QJsonObject{{"error", QStringLiteral("cannot render the story card")}};
        const QString failure = Export::write(bytes, png, Export::Type::png);
        if (!failure.isEmpty()) return QJsonObject{{"error", failure}};
    }
    if (!pdf.isEmpty()) {
        const QByteArray bytes = StatsPDF::data(log, now);
        if (bytes.isEmpty())
            return QJsonObject{{"error", QStringLiteral("cannot make the stats PDF")}};
        const QString failure = Export::write(bytes, pdf, Export::Type::pdf);
        if (!failure.isEmpty()) return QJsonObject{{"error", failure}};
    }
    return QJsonObject{{"ok", true}};
}
