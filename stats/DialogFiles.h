#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

// The save dialog's list of files with sizes and dates in the interface language: Qt's file
// model writes them in the system's locale, whatever the dialog's own language.
class DialogFiles final : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;

    // Sets this view on the dialog (which takes it), gives the dialog room for its columns and
    // widens its sidebar to its longest place name (Qt sizes it to the first entry).
    static void fit(QFileDialog& dialog);
};
