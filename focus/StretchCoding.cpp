#include "focus/StretchCoding.h"

#include "platform/StoredDate.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <cmath>

namespace StretchCoding {

std::optional<QJsonObject> encode(const FocusStretch& s, QString* error) {
    const double start = StoredDate::toSeconds(s.start);
    const double sitting = StoredDate::toSeconds(s.sitting);
    for (const double v : {start, sitting, s.planned, s.seconds}) {
        if (!std::isfinite(v) || !s.start.isValid() || !s.sitting.isValid()) {
            *error =
                QStringLiteral("a stretch of %1 holds a number JSON cannot store").arg(s.activity);
            return std::nullopt;
        }
    }
    return QJsonObject{
        {QStringLiteral("activity"), s.activity}, {QStringLiteral("start"), start},
        {QStringLiteral("sitting"), sitting},     {QStringLiteral("planned"), s.planned},
        {QStringLiteral("seconds"), s.seconds},   {QStringLiteral("completed"), s.completed}};
}

QByteArray toBytes(const QJsonArray& stretches) {
    return QJsonDocument(stretches).toJson(QJsonDocument::Compact);
}

QByteArray toBytes(const QJsonObject& stretch) {
    return QJsonDocument(stretch).toJson(QJsonDocument::Compact);
}

QByteArray elements(const QByteArray& bytes) {
    const QByteArray compact = toBytes(QJsonDocument::fromJson(bytes).array());
    return compact.mid(1, compact.size() - 2);
}

std::optional<QList<FocusStretch>> decode(const QByteArray& bytes, QString* error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1 at offset %2").arg(parse.errorString()).arg(parse.offset);
        return std::nullopt;
    }
    if (!doc.isArray()) {
        *error = QStringLiteral("the document is not an array");
        return std::nullopt;
    }
    const QJsonArray array = doc.array();
    QList<FocusStretch> out;
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject o = array[i].toObject();
        const auto wrong = [&](const char* key, const char* kind) {
            *error = QStringLiteral("element %1: \"%2\" is missing or not a %3")
                         .arg(i)
                         .arg(QLatin1String(key), QLatin1String(kind));
            return std::nullopt;
        };
        if (!array[i].isObject()) {
            *error = QStringLiteral("element %1 is not an object").arg(i);
            return std::nullopt;
        }
        if (!o.value(QLatin1String("activity")).isString()) return wrong("activity", "string");
        for (const char* key : {"start", "sitting", "planned", "seconds"}) {
            const QJsonValue v = o.value(QLatin1String(key));
            if (!v.isDouble() || !std::isfinite(v.toDouble())) return wrong(key, "number");
        }
        if (!o.value(QLatin1String("completed")).isBool()) return wrong("completed", "boolean");
        FocusStretch s;
        s.activity = o.value(QLatin1String("activity")).toString();
        // Kept as instants, so the calendar day follows a later change of time zone.
        s.start = StoredDate::fromSeconds(o.value(QLatin1String("start")).toDouble()).toUTC();
        s.sitting = StoredDate::fromSeconds(o.value(QLatin1String("sitting")).toDouble()).toUTC();
        s.planned = o.value(QLatin1String("planned")).toDouble();
        s.seconds = o.value(QLatin1String("seconds")).toDouble();
        s.completed = o.value(QLatin1String("completed")).toBool();
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace StretchCoding
