#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// Ed25519-signed texts. A signed payload is "A.B": A is base64url JSON, B the base64url
// signature over A's text exactly as received. Nothing here throws.
namespace Signed {

// The JSON object of a payload that verifies with the base64 public key; none otherwise.
std::optional<QJsonObject> payload(const QString& text, const QByteArray& key);

// Whether signature (64 raw bytes) signs message under the base64 public key.
bool verify(const QByteArray& message, const QByteArray& signature, const QByteArray& key);

// base64url (or standard base64), padding optional; none when it is not base64.
std::optional<QByteArray> fromBase64Url(const QByteArray& text);
QByteArray toBase64Url(const QByteArray& bytes);

} // namespace Signed
