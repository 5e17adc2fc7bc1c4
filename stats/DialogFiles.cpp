#include "stats/DialogFiles.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QLocale>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace {

// The columns of Qt's file model.
constexpr int sizeColumn = 1;
constexpr int dateColumn = 3;

} // namespace

QVariant DialogFiles::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole ||
        (index.column() != sizeColumn && index.column() != dateColumn))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QLocale locale; // the interface language's
    if (index.column() == dateColumn)
        return locale.toString(files->lastModified(source), QLocale::ShortFormat);
    if (files->isDir(source)) return QIdentityProxyModel::data(index, role);
    return locale.formattedDataSize(files->size(source));
}

void DialogFiles::fit(QFileDialog& dialog) {
    dialog.setProxyModel(new DialogFiles(&dialog));
    // Wide enough for a Russian date in full beside the name, kind and size.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        files->header()->setSectionResizeMode(dateColumn, QHeaderView::ResizeToContents);
    auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (!sidebar || !sidebar->model()) return;
    int widest = 0;
    for (int row = 0; row < sidebar->model()->rowCount(); ++row)
        widest =
            std::max(widest, sidebar->sizeHintForIndex(sidebar->model()->index(row, 0)).width());
    const int width = widest + 2 * sidebar->frameWidth() +
                      sidebar->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    sidebar->setMinimumWidth(width);
    if (auto* splitter = qobject_cast<QSplitter*>(sidebar->parentWidget())) {
        QList<int> sizes = splitter->sizes();
        if (sizes.size() >= 2 && sizes[0] < width) {
            sizes[1] = std::max(0, sizes[1] - (width - sizes[0]));
            sizes[0] = width;
            splitter->setSizes(sizes);
        }
    }
}
