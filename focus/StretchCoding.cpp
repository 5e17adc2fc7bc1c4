#include "focus/StretchCoding.h"

#include "platform/StoredArray.h"
#include "platform/StoredDate.h"

#include <QJsonDocument>
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

namespace {

// Whether the array holds no white space outside its strings, as every save writes it.
bool compact(const QByteArray& bytes) {
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            return false;
        }
    }
    return true;
}

} // namespace

QByteArray elements(const QByteArray& bytes) {
    // A log this program wrote is taken as it is: re-encoding ten years of stretches at every
    // start costs as much as decoding them.
    if (bytes.size() >= 2 && bytes.front() == '[' && bytes.back() == ']' && compact(bytes))
        return bytes.mid(1, bytes.size() - 2);
    const QByteArray compactForm = toBytes(QJsonDocument::fromJson(bytes).array());
    return compactForm.mid(1, compactForm.size() - 2);
}

std::optional<QList<FocusStretch>> decode(const QByteArray& bytes, QString* error) {
    const std::optional<QJsonArray> stored = StoredArray::parse(bytes, error);
    if (!stored) return std::nullopt;
    const QJsonArray& array = *stored;
    QList<FocusStretch> out;
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue element = array[i];
        const auto wrong = [&](const char* key, const char* kind) {
            *error = QStringLiteral("element %1: \"%2\" is missing or not a %3")
                         .arg(i)
                         .arg(QLatin1String(key), QLatin1String(kind));
            return std::nullopt;
        };
        if (!element.isObject()) {
            *error = QStringLiteral("element %1 is not an object").arg(i);
            return std::nullopt;
        }
        const QJsonObject o = element.toObject();
        const QJsonValue activity = o.value(QLatin1String("activity"));
        if (!activity.isString()) return wrong("activity", "string");
        double numbers[4];
        const char* const keys[4] = {"start", "sitting", "planned", "seconds"};
        for (int k = 0; k < 4; ++k) {
            const QJsonValue v = o.value(QLatin1String(keys[k]));
            numbers[k] = v.toDouble();
            if (!v.isDouble() || !std::isfinite(numbers[k])) return wrong(keys[k], "number");
        }
        const QJsonValue completed = o.value(QLatin1String("completed"));
        if (!completed.isBool()) return wrong("completed", "boolean");
        FocusStretch s;
        s.activity = activity.toString();
        // Kept as instants, so the calendar day follows a later change of time zone.
        s.start = StoredDate::fromSecondsUtc(numbers[0]);
        s.sitting = StoredDate::fromSecondsUtc(numbers[1]);
        s.planned = numbers[2];
        s.seconds = numbers[3];
        s.completed = completed.toBool();
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace StretchCoding
