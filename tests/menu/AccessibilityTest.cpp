#include "MenuTestSupport.h"
#include "app/Wait.h"
#include "kit/FocusRing.h"
#include "kit/TextLine.h"
#include "menu/MenuView.h"
#include "menu/MenuWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QSet>
#include <QUuid>
#include <gtest/gtest.h>

namespace {

void pressTab(QWidget& window) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                            &release);
}

QString nameOf(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// Tab walks through every control of a page: each one says what it is to a screen reader and
// wears the pink ring, drawn around it on screen; painted lines read as their text.
void walkThePage(MenuWindow& window, const char* page) {
    QSet<QWidget*> reached;
    for (int i = 0; i < 60; ++i) {
        pressTab(window);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_TRUE(focused) << page;
        if (reached.contains(focused)) break;
        reached.insert(focused);
        if (!qobject_cast<QAbstractButton*>(focused)) continue;
        EXPECT_FALSE(nameOf(focused).trimmed().isEmpty())
            << page << ": a " << focused->metaObject()->className() << " without a name";
        FocusRing* ring = FocusRing::shown();
        ASSERT_TRUE(ring) << page << ": no ring on " << nameOf(focused).toStdString();
        EXPECT_EQ(ring->around(), focused);
        const QRect control(focused->mapTo(&window, QPoint(0, 0)), focused->size());
        const QRect drawn(ring->mapTo(&window, QPoint(0, 0)), ring->size());
        EXPECT_TRUE(drawn.contains(control) && drawn != control) << page;
        // The ring's pixels, just left of the control's middle.
        const QImage shot = window.grab().toImage();
        const QColor left = shot.pixelColor(drawn.left() + 1, drawn.center().y());
        const QColor wanted = FocusRing::colour();
        EXPECT_LT(std::abs(left.red() - wanted.red()) + std::abs(left.green() - wanted.green()) +
                      std::abs(left.blue() - wanted.blue()),
                  60)
            << page << ": no ring drawn around " << nameOf(focused).toStdString();
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled()) {
            EXPECT_TRUE(reached.contains(button))
                << page << ": Tab never reaches " << nameOf(button).toStdString();
        }
    }
    for (TextLine* line : window.findChildren<TextLine*>()) {
        if (!line->isVisible() || line->text().isEmpty()) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(line);
        ASSERT_TRUE(accessible);
        EXPECT_EQ(accessible->role(), QAccessible::StaticText);
        EXPECT_EQ(accessible->text(QAccessible::Name), line->text());
    }
}

TEST(MenuAccessibility, TabReachesEveryControlWithANameAndARing) {
    MenuFixture f;
    f.reminders.insert({QUuid::createUuid(), "Tea", f.clock.now().addSecs(600), false});
    MenuWindow window(f.models());
    window.openAt(QRect(600, 0, 22, 22), QRect(0, 24, 1920, 1056));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    walkThePage(window, "main");
    // The cards read as one button each, title and subtitle.
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->objectName() == QLatin1String("remindersLink")) {
            EXPECT_TRUE(nameOf(button).contains("Tea")) << nameOf(button).toStdString();
        }
    }

    ASSERT_TRUE(window.view()->open(MenuView::Screen::stats));
    walkThePage(window, "stats");
    window.view()->back();
    ASSERT_TRUE(window.view()->open(MenuView::Screen::language));
    walkThePage(window, "language");
    window.close();
}

} // namespace
