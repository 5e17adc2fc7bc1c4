#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What the updater trusts: a manifest signed by our key, a release whose digest is the signed
// one, and an unpacked folder whose file list is signed by our key and matches it exactly.
namespace UpdateVerify {

// What a signed manifest offers.
struct Offer {
    QString version;
    QString sha256;
};
// None when the manifest does not verify or breaks a rule.
std::optional<Offer> readManifest(const QString& text, const QByteArray& key);

// Dotted versions compared number by number; a missing part counts as 0.
bool newer(const QString& a, const QString& than);
// The hex SHA-256 of a file; none when it cannot be read.
std::optional<QString> sha256(const QString& file);

// The folder's file list must be signed by key and match the folder exactly, and the folder
// must hold bin/purrlox. Throws UpdateFailure.
void signedFolder(const QString& folder, const QByteArray& key);

} // namespace UpdateVerify
