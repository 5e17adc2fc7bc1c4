// Signs Purrlox releases. The private key comes from --key, --key-file or the environment
// variable PURRLOX_SIGNING_KEY (base64 of libsodium's 64-byte Ed25519 secret key); it never
// belongs in the repository.
//
//   purrlox-sign key                      print a new key pair: public, then secret
//   purrlox-sign keygen DIR               DIR/update-test.{pub,sec}, unless they exist
//   purrlox-sign pin PUBFILE OUT.cpp      the source that pins PUBFILE's key into the app
//   purrlox-sign folder DIR               write DIR/FILES and its signature DIR/FILES.sig
//   purrlox-sign manifest VERSION FILE    print the signed manifest for the release FILE

#include "system/FileList.h"
#include "system/Signed.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cstdio>
#include <sodium.h>

namespace {

int fail(const QString& why) {
    std::fprintf(stderr, "purrlox-sign: %s\n", qPrintable(why));
    return 1;
}

bool writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions perms = {}) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (perms) file.setPermissions(perms);
    file.write(bytes);
    return file.commit();
}

QByteArray sign(const QByteArray& message, const QByteArray& secret) {
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.constData()),
                         size_t(message.size()),
                         reinterpret_cast<const unsigned char*>(secret.constData()));
    return signature;
}

std::pair<QByteArray, QByteArray> newPair() {
    QByteArray pub(crypto_sign_PUBLICKEYBYTES, '\0'), sec(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(pub.data()),
                        reinterpret_cast<unsigned char*>(sec.data()));
    return {pub.toBase64(), sec.toBase64()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (sodium_init() < 0) return fail(QStringLiteral("libsodium does not start"));
    QStringList args = app.arguments().mid(1);

    QByteArray keyText = qgetenv("PURRLOX_SIGNING_KEY");
    for (int i = 0; i + 1 < args.size();) {
        if (args[i] == QLatin1String("--key")) {
            keyText = args[i + 1].toLatin1();
            args.remove(i, 2);
        } else if (args[i] == QLatin1String("--key-file")) {
            QFile file(args[i + 1]);
            if (!file.open(QIODevice::ReadOnly)) return fail("cannot read " + args[i + 1]);
            keyText = file.readAll();
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    const QString command = args.value(0);
    const auto secretKey = [&]() -> std::optional<QByteArray> {
        const auto raw = QByteArray::fromBase64Encoding(keyText.trimmed(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
        if (!raw || raw.decoded.size() != crypto_sign_SECRETKEYBYTES) return std::nullopt;
        return raw.decoded;
    };

    if (command == QLatin1String("key") && args.size() == 1) {
        const auto [pub, sec] = newPair();
        std::printf("%s\n%s\n", pub.constData(), sec.constData());
        return 0;
    }
    if (command == QLatin1String("keygen") && args.size() == 2) {
        const QString pubPath = args[1] + "/update-test.pub",
                      secPath = args[1] + "/update-test.sec";
        if (QFile::exists(pubPath) && QFile::exists(secPath)) return 0;
        QDir().mkpath(args[1]);
        const auto [pub, sec] = newPair();
        if (!writeFile(secPath, sec + '\n', QFile::ReadOwner | QFile::WriteOwner) ||
            !writeFile(pubPath, pub + '\n'))
            return fail("cannot write the test keys in " + args[1]);
        return 0;
    }
    if (command == QLatin1String("pin") && args.size() == 3) {
        QFile pub(args[1]);
        if (!pub.open(QIODevice::ReadOnly)) return fail("cannot read " + args[1]);
        const QByteArray key = pub.readAll().trimmed();
        const auto raw =
            QByteArray::fromBase64Encoding(key, QByteArray::AbortOnBase64DecodingErrors);
        if (!raw || raw.decoded.size() != crypto_sign_PUBLICKEYBYTES)
            return fail(args[1] + " holds no Ed25519 public key");
        const QByteArray source =
            "#include \"updates/UpdateKey.h\"\n\nconst char* const pinnedUpdateKey = \"" + key +
            "\";\n";
        QFile old(args[2]);
        if (old.open(QIODevice::ReadOnly) && old.readAll() == source) return 0;
        old.close();
        QDir().mkpath(QFileInfo(args[2]).absolutePath());
        return writeFile(args[2], source) ? 0 : fail("cannot write " + args[2]);
    }
    if (command == QLatin1String("folder") && args.size() == 2) {
        const auto secret = secretKey();
        if (!secret)
            return fail(
                QStringLiteral("no signing key (--key, --key-file or PURRLOX_SIGNING_KEY)"));
        QString error;
        const auto list = FileList::of(args[1], &error);
        if (!list) return fail(error);
        if (!writeFile(args[1] + "/" + FileList::listName, *list) ||
            !writeFile(args[1] + "/" + FileList::signatureName,
                       sign(*list, *secret).toBase64() + '\n'))
            return fail("cannot write the file list in " + args[1]);
        return 0;
    }
    if (command == QLatin1String("manifest") && args.size() == 3) {
        const auto secret = secretKey();
        if (!secret)
            return fail(
                QStringLiteral("no signing key (--key, --key-file or PURRLOX_SIGNING_KEY)"));
        QFile release(args[2]);
        if (!release.open(QIODevice::ReadOnly)) return fail("cannot read " + args[2]);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(&release);
        const QJsonObject body{{"v", 1},
                               {"os", "linux"},
                               {"version", args[1]},
                               {"sha256", QString::fromLatin1(hash.result().toHex())}};
        const QByteArray a =
            Signed::toBase64Url(QJsonDocument(body).toJson(QJsonDocument::Compact));
        std::printf("%s.%s\n", a.constData(), Signed::toBase64Url(sign(a, *secret)).constData());
        return 0;
    }
    return fail(QStringLiteral("usage: purrlox-sign key | keygen DIR | pin PUBFILE OUT.cpp | "
                               "folder DIR | manifest VERSION FILE"));
}
