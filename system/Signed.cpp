#include "system/Signed.h"

#include <QJsonDocument>
#include <sodium.h>

namespace Signed {

std::optional<QByteArray> fromBase64Url(const QByteArray& text) {
    QByteArray standard = text;
    standard.replace('-', '+').replace('_', '/');
    while (standard.size() % 4 != 0)
        standard.append('=');
    const auto decoded =
        QByteArray::fromBase64Encoding(standard, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    // Only the one canonical spelling: spare bits that decode to the same bytes are refused.
    QByteArray canonical = text;
    canonical.replace('+', '-').replace('/', '_');
    while (canonical.endsWith('='))
        canonical.chop(1);
    if (toBase64Url(decoded.decoded) != canonical) return std::nullopt;
    return decoded.decoded;
}

QByteArray toBase64Url(const QByteArray& bytes) {
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

bool verify(const QByteArray& message, const QByteArray& signature, const QByteArray& key) {
    if (sodium_init() < 0) return false;
    const auto raw =
        QByteArray::fromBase64Encoding(key.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!raw || raw.decoded.size() != crypto_sign_PUBLICKEYBYTES) return false;
    if (signature.size() != crypto_sign_BYTES) return false;
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(message.constData()), size_t(message.size()),
               reinterpret_cast<const unsigned char*>(raw.decoded.constData())) == 0;
}

std::optional<QJsonObject> payload(const QString& text, const QByteArray& key) {
    const QStringList parts = text.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() != 2) return std::nullopt;
    const QByteArray signedText = parts[0].toUtf8();
    const auto body = fromBase64Url(signedText);
    const auto signature = fromBase64Url(parts[1].toUtf8());
    if (!body || !signature) return std::nullopt;
    if (!verify(signedText, *signature, key)) return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

} // namespace Signed
