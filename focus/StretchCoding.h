#pragma once

#include "focus/FocusRecords.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// The stored form of the focus log: a JSON array of objects with exactly the keys
// activity, start, sitting, planned, seconds and completed; dates as seconds since 2001.
namespace StretchCoding {

// None (with the reason) when a number is not finite, which JSON cannot hold.
std::optional<QJsonObject> encode(const FocusStretch& stretch, QString* error);
QByteArray toBytes(const QJsonArray& stretches);
QByteArray toBytes(const QJsonObject& stretch);
// The elements of a decodable stored log, compact and comma-joined, without the brackets.
QByteArray elements(const QByteArray& bytes);
// None (with the reason) unless every element is a stretch with all six keys.
std::optional<QList<FocusStretch>> decode(const QByteArray& bytes, QString* error);

} // namespace StretchCoding
