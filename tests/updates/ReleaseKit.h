#pragma once

#include "system/FileList.h"
#include "system/Signed.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <archive.h>
#include <archive_entry.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/sysmacros.h>

// Keys, signed manifests, signed install folders and hand-made tarballs for the updater tests.
namespace kit {

struct Keys {
    QByteArray publicKey; // base64
    QByteArray secret;    // raw 64 bytes
};

inline QByteArray readKey(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    return file.readAll().trimmed();
}

// The build's test key pair: the key the tests' updaters pin.
inline const Keys& testKeys() {
    static const Keys keys{
        readKey(PURRLOX_TEST_KEY_DIR "/update-test.pub"),
        QByteArray::fromBase64(readKey(PURRLOX_TEST_KEY_DIR "/update-test.sec"))};
    return keys;
}

// Somebody else's key pair.
inline const Keys& otherKeys() {
    static const Keys keys = [] {
        if (sodium_init() < 0) std::abort();
        QByteArray pub(crypto_sign_PUBLICKEYBYTES, '\0'), sec(crypto_sign_SECRETKEYBYTES, '\0');
        crypto_sign_keypair(reinterpret_cast<unsigned char*>(pub.data()),
                            reinterpret_cast<unsigned char*>(sec.data()));
        return Keys{pub.toBase64(), sec};
    }();
    return keys;
}

inline QByteArray sign(const QByteArray& message, const QByteArray& secret) {
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.constData()),
                         size_t(message.size()),
                         reinterpret_cast<const unsigned char*>(secret.constData()));
    return signature;
}

inline QString manifest(const QJsonObject& body, const QByteArray& secret = testKeys().secret) {
    const QByteArray a = Signed::toBase64Url(QJsonDocument(body).toJson(QJsonDocument::Compact));
    return QString::fromLatin1(a + '.' + Signed::toBase64Url(sign(a, secret)));
}

inline QJsonObject offer(const QString& version, const QString& sha256) {
    return {{"v", 1}, {"os", "linux"}, {"version", version}, {"sha256", sha256}};
}

inline void write(const QString& path, const QByteArray& bytes, int mode = 0644) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    file.write(bytes);
    file.close();
    std::filesystem::permissions(path.toStdString(), std::filesystem::perms(mode));
}

inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void signFolder(const QString& folder, const QByteArray& secret = testKeys().secret) {
    const auto list = FileList::of(folder);
    ASSERT_TRUE(list);
    write(folder + "/" + FileList::listName, *list);
    write(folder + "/" + FileList::signatureName, sign(*list, secret).toBase64() + '\n');
}

// An install folder whose bin/purrlox prints marker; signed with the test key.
inline void makeInstall(const QString& folder, const QString& version, const QByteArray& marker,
                        qint64 padding = 0) {
    write(folder + "/bin/purrlox", "#!/bin/sh\necho " + marker + "\n", 0755);
    write(folder + "/VERSION", version.toUtf8() + '\n');
    write(folder + "/share/applications/app.purrlox.Purrlox.desktop", "[Desktop Entry]\n");
    if (padding > 0) {
        QByteArray bytes(padding, '\0');
        for (qint64 i = 0; i < padding; ++i)
            bytes[i] = char((i * 2654435761u) >> 13); // poorly compressible
        write(folder + "/lib/payload.bin", bytes);
    }
    signFolder(folder);
}

struct Entry {
    enum Kind { file, dir, symlink, hardlink, device, fifo };
    Entry(Kind k, QString n, QByteArray d = {}, QString t = {}, int m = 0644)
        : kind(k), name(std::move(n)), data(std::move(d)), target(std::move(t)), mode(m) {}
    Kind kind;
    QString name;
    QByteArray data;
    QString target; // links
    int mode;
};

class TarWriter {
  public:
    explicit TarWriter(const QString& path) : a_(archive_write_new()) {
        archive_write_add_filter_gzip(a_);
        archive_write_set_filter_option(a_, "gzip", "compression-level", "1");
        archive_write_set_format_pax_restricted(a_);
        archive_write_open_filename(a_, path.toLocal8Bit().constData());
    }
    ~TarWriter() {
        archive_write_close(a_);
        archive_write_free(a_);
    }
    void add(const Entry& e) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.toUtf8().constData());
        archive_entry_set_perm(entry, e.mode);
        switch (e.kind) {
        case Entry::file:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, e.data.size());
            break;
        case Entry::dir:
            archive_entry_set_filetype(entry, AE_IFDIR);
            break;
        case Entry::symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, e.target.toUtf8().constData());
            break;
        case Entry::hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink(entry, e.target.toUtf8().constData());
            break;
        case Entry::device:
            archive_entry_set_filetype(entry, AE_IFCHR);
            archive_entry_set_rdev(entry, makedev(1, 3));
            break;
        case Entry::fifo:
            archive_entry_set_filetype(entry, AE_IFIFO);
            break;
        }
        archive_write_header(a_, entry);
        if (e.kind == Entry::file && !e.data.isEmpty())
            archive_write_data(a_, e.data.constData(), size_t(e.data.size()));
        archive_entry_free(entry);
    }
    // A regular file of size zero bytes, written in blocks.
    void addZeros(const QString& name, qint64 size) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.toUtf8().constData());
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_size(entry, size);
        archive_write_header(a_, entry);
        const QByteArray block(1 << 20, '\0');
        for (qint64 left = size; left > 0; left -= block.size())
            archive_write_data(a_, block.constData(), size_t(std::min<qint64>(left, block.size())));
        archive_entry_free(entry);
    }
    // Every entry under parent/name, as tar would store them.
    void addFolder(const QString& parent, const QString& name) {
        namespace fs = std::filesystem;
        const fs::path root = (parent + "/" + name).toStdString();
        add({Entry::dir, name, {}, {}, 0755});
        for (auto it = fs::recursive_directory_iterator(root);
             it != fs::recursive_directory_iterator(); ++it) {
            const QString rel =
                name + "/" + QString::fromStdString(it->path().lexically_relative(root).string());
            const int mode = int(fs::symlink_status(it->path()).permissions()) & 0777;
            if (it->is_symlink())
                add({Entry::symlink,
                     rel,
                     {},
                     QString::fromStdString(fs::read_symlink(it->path()).string()),
                     0777});
            else if (it->is_directory())
                add({Entry::dir, rel, {}, {}, mode});
            else
                add({Entry::file,
                     rel,
                     read(QString::fromStdString(it->path().string())),
                     {},
                     mode});
        }
    }

  private:
    archive* a_;
};

} // namespace kit
