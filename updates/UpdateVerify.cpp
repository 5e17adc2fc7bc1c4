#include "updates/UpdateVerify.h"

#include "system/FileList.h"
#include "system/Signed.h"
#include "updates/UpdateFailure.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonValue>
#include <QRegularExpression>

namespace UpdateVerify {

std::optional<Offer> readManifest(const QString& text, const QByteArray& key) {
    const auto manifest = Signed::payload(text, key);
    if (!manifest) return std::nullopt;
    // The version names a file and the digest is compared as text: both must have their form.
    static const QRegularExpression versionForm(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9}){0,7}$"));
    static const QRegularExpression digestForm(QStringLiteral("^[0-9a-f]{64}$"));
    const QJsonValue v = manifest->value("v"), os = manifest->value("os"),
                     version = manifest->value("version"), digest = manifest->value("sha256");
    if (!v.isDouble() || v.toDouble() != 1.0 || !os.isString() || os.toString() != "linux" ||
        !version.isString() || !digest.isString() ||
        !versionForm.match(version.toString()).hasMatch() ||
        !digestForm.match(digest.toString()).hasMatch())
        return std::nullopt;
    return Offer{version.toString(), digest.toString()};
}

bool newer(const QString& a, const QString& than) {
    const auto numbers = [](const QString& text) {
        QList<qulonglong> list;
        for (const QString& part : text.split(QLatin1Char('.'), Qt::SkipEmptyParts))
            list.append(part.toULongLong()); // not a number: 0
        return list;
    };
    const QList<qulonglong> x = numbers(a), y = numbers(than);
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        const qulonglong p = i < x.size() ? x[i] : 0, q = i < y.size() ? y[i] : 0;
        if (p != q) return p > q;
    }
    return false;
}

std::optional<QString> sha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return QString::fromLatin1(hash.result().toHex());
}

void signedFolder(const QString& folder, const QByteArray& key) {
    QFile list(folder + "/" + FileList::listName);
    QFile signature(folder + "/" + FileList::signatureName);
    if (!list.open(QIODevice::ReadOnly) || !signature.open(QIODevice::ReadOnly))
        throw UpdateFailure(folder + " carries no signed file list");
    const QByteArray listed = list.readAll();
    const auto raw = QByteArray::fromBase64Encoding(signature.read(1024).trimmed(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    if (!raw || !Signed::verify(listed, raw.decoded, key))
        throw UpdateFailure(folder + " is not signed by our key");
    QString error;
    const auto actual = FileList::of(folder, &error);
    if (!actual) throw UpdateFailure(folder + ": " + error);
    if (*actual != listed) throw UpdateFailure(folder + " does not match its signed file list");
    if (!QFileInfo(folder + "/bin/purrlox").isExecutable())
        throw UpdateFailure(folder + " holds no bin/purrlox");
}

} // namespace UpdateVerify
