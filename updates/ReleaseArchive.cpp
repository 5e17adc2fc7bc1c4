#include "updates/ReleaseArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace ReleaseArchive {

namespace {

struct ReadCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteCloser {
    void operator()(archive* a) const { archive_write_free(a); }
};

[[noreturn]] void refuse(const QString& why) {
    throw UpdateFailure(why);
}

QString errorOf(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown archive error");
}

// A relative path that stays inside the folder, or a refusal.
fs::path checkedName(const QString& name) {
    if (name.isEmpty()) refuse(QStringLiteral("an entry without a name"));
    const fs::path path = name.toStdString();
    if (path.is_absolute()) refuse(QStringLiteral("an absolute path: %1").arg(name));
    for (const fs::path& part : path)
        if (part == "..") refuse(QStringLiteral("a path that climbs out: %1").arg(name));
    return path.lexically_normal();
}

void checkLink(const fs::path& name, const char* target) {
    if (!target || !*target) refuse(QStringLiteral("a link without a target"));
    const fs::path to = target;
    const fs::path resolved = (name.parent_path() / to).lexically_normal();
    if (to.is_absolute() || resolved.empty() || *resolved.begin() == "..")
        refuse(QStringLiteral("a link that leaves the folder: %1 -> %2")
                   .arg(QString::fromStdString(name.string()), QString::fromUtf8(target)));
}

} // namespace

void unpack(const QString& archivePath, const QString& into, const Limits& limits) {
    std::unique_ptr<archive, ReadCloser> in(archive_read_new());
    archive_read_support_filter_gzip(in.get());
    archive_read_support_format_tar(in.get());
    if (archive_read_open_filename(in.get(), archivePath.toLocal8Bit().constData(), 1 << 16) !=
        ARCHIVE_OK)
        refuse(QStringLiteral("cannot open the release: %1").arg(errorOf(in.get())));

    std::unique_ptr<archive, WriteCloser> out(archive_write_disk_new());
    archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                  ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                  ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME);

    const fs::path root = fs::path(into.toStdString());
    qint64 written = 0;
    int entries = 0;
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(in.get(), &entry);
        if (r == ARCHIVE_EOF) break;
        if (r != ARCHIVE_OK) refuse(QStringLiteral("a damaged release: %1").arg(errorOf(in.get())));
        if (++entries > limits.maxEntries)
            refuse(QStringLiteral("more than %1 entries").arg(limits.maxEntries));

        const QString rawName = QString::fromUtf8(archive_entry_pathname(entry));
        const fs::path name = checkedName(rawName);
        if (archive_entry_hardlink(entry)) refuse(QStringLiteral("a hard link: %1").arg(rawName));
        const mode_t type = archive_entry_filetype(entry);
        if (type == AE_IFLNK)
            checkLink(name, archive_entry_symlink(entry));
        else if (type != AE_IFREG && type != AE_IFDIR)
            refuse(QStringLiteral("not a file, folder or link: %1").arg(rawName));
        if (type == AE_IFREG && archive_entry_size(entry) > limits.maxBytes - written)
            refuse(QStringLiteral("more than %1 bytes unpacked").arg(limits.maxBytes));

        // No set-id bits, no foreign owners: the copy belongs to the user who updates.
        archive_entry_set_perm(entry, archive_entry_perm(entry) & 0777);
        archive_entry_set_pathname(entry, (root / name).c_str());
        if (archive_write_header(out.get(), entry) != ARCHIVE_OK)
            refuse(QStringLiteral("cannot write %1: %2").arg(rawName, errorOf(out.get())));
        if (type == AE_IFREG) {
            const void* block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            for (;;) {
                const int d = archive_read_data_block(in.get(), &block, &size, &offset);
                if (d == ARCHIVE_EOF) break;
                if (d != ARCHIVE_OK)
                    refuse(QStringLiteral("a damaged release: %1").arg(errorOf(in.get())));
                written += qint64(size);
                if (written > limits.maxBytes)
                    refuse(QStringLiteral("more than %1 bytes unpacked").arg(limits.maxBytes));
                if (archive_write_data_block(out.get(), block, size, offset) != ARCHIVE_OK)
                    refuse(QStringLiteral("cannot write %1: %2").arg(rawName, errorOf(out.get())));
            }
        }
        if (archive_write_finish_entry(out.get()) != ARCHIVE_OK)
            refuse(QStringLiteral("cannot write %1: %2").arg(rawName, errorOf(out.get())));
    }
    if (archive_write_close(out.get()) != ARCHIVE_OK)
        refuse(QStringLiteral("cannot finish unpacking: %1").arg(errorOf(out.get())));
}

void removeTree(const QString& path) {
    const fs::path root = path.toStdString();
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(root, ec))) {
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(
                 root, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(root, ec);
}

void copyTree(const QString& from, const QString& to) {
    try {
        fs::copy(from.toStdString(), to.toStdString(),
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    } catch (const fs::filesystem_error& e) {
        throw UpdateFailure(
            QStringLiteral("copying %1: %2").arg(from, QString::fromLocal8Bit(e.what())));
    }
}

} // namespace ReleaseArchive
