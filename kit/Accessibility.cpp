#include "kit/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QWindow>
#include <cmath>

namespace {

// The application: named as the user knows it, listing its shown windows, the menu popup
// among them (Qt's own leaves popups out, so the menu window was nowhere in the tree).
class Application final : public QAccessibleApplication {
  public:
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QGuiApplication::applicationDisplayName();
        return QAccessibleApplication::text(t);
    }
    int childCount() const override { return int(windows().size()); }
    QAccessibleInterface* child(int index) const override {
        const QObjectList list = windows();
        return index >= 0 && index < list.size()
                   ? QAccessible::queryAccessibleInterface(list[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(windows().indexOf(child->object())) : -1;
    }

  private:
    static QObjectList windows() {
        QObjectList list;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Desktop || !window->isVisible()) continue;
            if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
                list.append(root->object());
        }
        return list;
    }
};

// The widgets a screen reader may visit below `widget`: the shown ones.
QList<QWidget*> shownChildren(const QWidget* widget) {
    QList<QWidget*> out;
    for (QObject* o : widget->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && !w->isHidden()) out.append(w);
    }
    return out;
}

// A plain widget (a page, a card, a window of ours): only its shown children, so a control
// hidden for now (the login-items button, the main page behind a sub-screen) is not read out.
// A window is a window; a named container is a pane, the screen it holds.
class Container final : public QAccessibleWidget {
  public:
    explicit Container(QWidget* widget)
        : QAccessibleWidget(widget, widget->isWindow()                   ? QAccessible::Window
                                    : widget->accessibleName().isEmpty() ? QAccessible::Client
                                                                         : QAccessible::Pane) {}
    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name ? Accessibility::spoken(text) : text;
    }
    int childCount() const override { return int(shownChildren(widget()).size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> list = shownChildren(widget());
        return index >= 0 && index < list.size()
                   ? QAccessible::queryAccessibleInterface(list[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || !child->object() || !child->object()->isWidgetType()) return -1;
        return int(shownChildren(widget()).indexOf(static_cast<QWidget*>(child->object())));
    }
};

// Our painted buttons, toggles and cards: a push button (a check box when it switches), named by
// its words without emoji, or by its tooltip when it is only a sign ("✕").
class Button final : public QAccessibleWidget {
  public:
    explicit Button(QAbstractButton* button)
        : QAccessibleWidget(button,
                            button->isCheckable() ? QAccessible::CheckBox : QAccessible::Button) {}
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        QString name = Accessibility::spoken(button()->accessibleName());
        if (name.isEmpty()) name = Accessibility::spoken(button()->text());
        if (name.isEmpty()) name = Accessibility::spoken(button()->toolTip());
        return name;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (button()->isCheckable()) {
            s.checkable = true;
            s.checked = button()->isChecked();
        }
        s.pressed = button()->isDown();
        return s;
    }
    int childCount() const override { return 0; } // a card's lines are read in its name
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (!button()->isEnabled()) return names;
        names.prepend(button()->isCheckable() ? toggleAction() : pressAction());
        return names;
    }
    void doAction(const QString& action) override {
        if (!button()->isEnabled()) return;
        if (action == pressAction() || action == toggleAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

class Text final : public QAccessibleWidget {
  public:
    Text(QWidget* widget, QString (*words)(const QWidget*))
        : QAccessibleWidget(widget, QAccessible::StaticText), words_(words) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        const QString own = widget()->accessibleName();
        return Accessibility::spoken(own.isEmpty() ? words_(widget()) : own);
    }

  private:
    QString (*words_)(const QWidget*);
};

QAccessibleInterface* factory(const QString& key, QObject* object) {
    if (!object) return nullptr;
    if (object == qApp && key == QLatin1String("QApplication")) return new Application;
    if (!object->isWidgetType()) return nullptr;
    // Reached only for classes that nothing nearer matched: Qt's own buttons and frames have
    // their faces from Qt under their own class names first.
    if (key == QLatin1String("QAbstractButton"))
        return new Button(static_cast<QAbstractButton*>(object));
    // A stack lists only the page it shows (Qt's lists every page).
    if (key == QLatin1String("QWidget") || key == QLatin1String("QStackedWidget"))
        return new Container(static_cast<QWidget*>(object));
    // Our labels are plain words (an empty list's note, a letter repeated in the menu).
    if (key == QLatin1String("QLabel"))
        return new Text(static_cast<QWidget*>(object),
                        [](const QWidget* w) { return static_cast<const QLabel*>(w)->text(); });
    return nullptr;
}

// What a screen reader skips: emoji and other pictographs, their variation selectors and
// joiners, and the marks our labels wear ("‹ Back", "Done ✓", "›").
bool unspoken(char32_t c) {
    if (c == 0x200D || c == 0x20E3 || (c >= 0xFE00 && c <= 0xFE0F)) return true;
    if (c >= 0x1F3FB && c <= 0x1F3FF) return true; // skin tones
    if (c == 0x2039 || c == 0x203A) return true;   // ‹ ›
    switch (QChar::category(c)) {
    case QChar::Symbol_Other:
        return true;
    default:
        return false;
    }
}

double luminance(const QColor& colour) {
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

} // namespace

namespace Accessibility {

void install() {
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

QString spoken(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (char32_t c : text.toUcs4()) {
        if (unspoken(c)) continue;
        if (QChar::isSpace(c)) {
            space = !out.isEmpty();
            continue;
        }
        if (space) out += QLatin1Char(' ');
        space = false;
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

QAccessibleInterface* staticText(QWidget* widget, QString (*words)(const QWidget*)) {
    return new Text(widget, words);
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace Accessibility
