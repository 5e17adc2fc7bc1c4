#include "app/WidgetAutomation.h"

#include "kit/TextLine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QVariant>
#include <QWidget>

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
    // A view that animates tells where its animation is.
    const QVariant automation = widget->property("automation");
    if (automation.canConvert<QVariantMap>())
        reply.insert("automation", QJsonObject::fromVariantMap(automation.toMap()));
    return reply;
}
