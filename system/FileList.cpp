#include "system/FileList.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace FileList {

namespace {

QByteArray encoded(const std::string& text) {
    return QByteArray::fromStdString(text).toPercentEncoding("/", "");
}

std::optional<QByteArray> digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return hash.result().toHex();
}

} // namespace

std::optional<QByteArray> of(const QString& folder, QString* error) {
    const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
        if (error) *error = why;
        return std::nullopt;
    };
    const fs::path root = folder.toStdString();
    std::vector<std::pair<std::string, QByteArray>> lines;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::none, ec);
    if (ec)
        return fail(
            QStringLiteral("cannot list %1: %2").arg(folder, QString::fromStdString(ec.message())));
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const fs::path& path = it->path();
        const std::string relative = path.lexically_relative(root).generic_string();
        if (relative == listName || relative == signatureName) continue;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return fail(QStringLiteral("cannot read %1").arg(QString::fromStdString(relative)));
        const QByteArray name = encoded(relative);
        if (S_ISDIR(st.st_mode)) {
            lines.emplace_back(relative, "d\t-\t-\t" + name);
        } else if (S_ISREG(st.st_mode)) {
            const auto sha = digest(QString::fromStdString(path.string()));
            if (!sha)
                return fail(QStringLiteral("cannot read %1").arg(QString::fromStdString(relative)));
            lines.emplace_back(relative, "f\t" + QByteArray::number(st.st_mode & 07777, 8) + '\t' +
                                             *sha + '\t' + name);
        } else if (S_ISLNK(st.st_mode)) {
            const fs::path target = fs::read_symlink(path, ec);
            if (ec)
                return fail(QStringLiteral("cannot read %1").arg(QString::fromStdString(relative)));
            lines.emplace_back(relative, "l\t-\t" + encoded(target.string()) + '\t' + name);
        } else {
            return fail(QStringLiteral("%1 is not a file, folder or link")
                            .arg(QString::fromStdString(relative)));
        }
    }
    if (ec)
        return fail(
            QStringLiteral("cannot list %1: %2").arg(folder, QString::fromStdString(ec.message())));
    std::sort(lines.begin(), lines.end());
    QByteArray list;
    for (const auto& line : lines)
        list += line.second + '\n';
    return list;
}

} // namespace FileList
