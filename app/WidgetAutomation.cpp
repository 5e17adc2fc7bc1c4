#include "app/WidgetAutomation.h"

#include "kit/TextLine.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QListView>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace {

QJsonArray textsIn(const QWidget& widget) {
    QJsonArray texts;
    QList<const QWidget*> all{&widget};
    for (const QWidget* child : widget.findChildren<QWidget*>())
        all.push_back(child);
    for (const QWidget* w : all) {
        if (!w->isVisible()) continue;
        if (const auto* line = qobject_cast<const TextLine*>(w)) texts.append(line->text());
        if (const auto* label = qobject_cast<const QLabel*>(w)) texts.append(label->text());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            if (!button->text().isEmpty()) texts.append(button->text());
        // A list's shown rows, every column (a file dialog's names, kinds and dates).
        if (const auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel& model = *view->model();
            const QModelIndex root = view->rootIndex();
            for (int row = 0; row < std::min(model.rowCount(root), 100); ++row)
                for (int column = 0; column < model.columnCount(root); ++column) {
                    const QString text = model.index(row, column, root).data().toString();
                    if (!text.isEmpty()) texts.append(text);
                }
        }
    }
    return texts;
}

QWidget* firstVisible(const QString& className, const QString& text) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        QList<QWidget*> candidates{top};
        candidates += top->findChildren<QWidget*>();
        for (QWidget* w : candidates) {
            if (!w->isVisible() || !w->inherits(className.toLatin1().constData())) continue;
            if (text.isEmpty() || textsIn(*w).contains(text)) return w;
        }
    }
    return nullptr;
}

} // namespace

std::optional<QJsonObject> answerWidgetRequest(const QJsonObject& request) {
    if (request.value(QLatin1String("cmd")).toString() != QLatin1String("widget"))
        return std::nullopt;
    const QString className = request.value(QLatin1String("class")).toString();
    const QString text = request.value(QLatin1String("text")).toString();
    QWidget* widget = className.isEmpty() ? nullptr : firstVisible(className, text);
    if (!widget) return QJsonObject{{"error", QStringLiteral("no visible %1").arg(className)}};
    const double ratio = widget->devicePixelRatioF();
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    QJsonObject reply{{"x", origin.x() * ratio},
                      {"y", origin.y() * ratio},
                      {"width", widget->width() * ratio},
                      {"height", widget->height() * ratio},
                      {"texts", textsIn(*widget)}};
    // A list tells which of its rows are wider than it shows (cut at its edge).
    if (const auto* list = qobject_cast<const QListView*>(widget); list && list->model()) {
        QJsonArray cut;
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (list->sizeHintForIndex(index).width() > list->viewport()->width())
                cut.append(index.data().toString());
        }
        reply.insert("cut", cut);
    }
    // A view that animates tells where its animation is.
    const QVariant automation = widget->property("automation");
    if (automation.canConvert<QVariantMap>())
        reply.insert("automation", QJsonObject::fromVariantMap(automation.toMap()));
    return reply;
}
