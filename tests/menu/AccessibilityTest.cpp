#include "kit/Accessibility.h"

#include "MenuTestSupport.h"
#include "fakes/Wait.h"
#include "kit/ChunkyButton.h"
#include "kit/FieldCard.h"
#include "kit/FocusRing.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "menu/MenuView.h"
#include "menu/MenuWindow.h"
#include "reminders/screen/RemindersScreen.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QSet>
#include <QTest>
#include <QUuid>
#include <functional>
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
        EXPECT_EQ(accessible->text(QAccessible::Name), Accessibility::spoken(line->text()));
    }
    // The tree a screen reader walks: from the application down, only what shows, every name
    // in words without emoji.
    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_TRUE(app);
    QAccessibleInterface* root = nullptr;
    for (int i = 0; i < app->childCount(); ++i)
        if (app->child(i) && app->child(i)->object() == &window) root = app->child(i);
    ASSERT_TRUE(root) << page << ": the menu window is not among the application's windows";
    EXPECT_EQ(root->role(), QAccessible::Window);
    EXPECT_EQ(root->text(QAccessible::Name), QStringLiteral("Purrlox"));
    int nodes = 0;
    std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
        ++nodes;
        EXPECT_FALSE(node->state().invisible)
            << page << ": hidden " << node->object()->metaObject()->className() << " "
            << node->text(QAccessible::Name).toStdString();
        const QString name = node->text(QAccessible::Name);
        EXPECT_EQ(name.toStdString(), Accessibility::spoken(name).toStdString()) << page;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i)) visit(child);
    };
    visit(root);
    EXPECT_GT(nodes, 10) << page;
}

TEST(MenuAccessibility, NamesAreWordsWithoutEmoji) {
    EXPECT_EQ(Accessibility::spoken(QStringLiteral("📊 Stats, today 5 min · 🔥 2 days")),
              QStringLiteral("Stats, today 5 min · 2 days"));
    EXPECT_EQ(Accessibility::spoken(QStringLiteral("Break ☕️ 4:59")),
              QStringLiteral("Break 4:59"));
    EXPECT_EQ(Accessibility::spoken(QStringLiteral("‹ Назад")), QStringLiteral("Назад"));
    EXPECT_EQ(Accessibility::spoken(QStringLiteral("Done ✓")), QStringLiteral("Done"));
    EXPECT_EQ(Accessibility::spoken(QStringLiteral("👩‍💻 «Код» 2 %")),
              QStringLiteral("«Код» 2 %"));
}

// The ring stands out against the cream around it and against the ink outline beside it.
TEST(MenuAccessibility, TheFocusRingMeetsThreeToOneAgainstCreamPaperAndInk) {
    for (const QColor& beside : {Theme::cream(), Theme::paper(), Theme::ink()})
        EXPECT_GE(Accessibility::contrast(FocusRing::colour(), beside), 3.0)
            << beside.name().toStdString();
}

TEST(MenuAccessibility, TabReachesEveryControlWithANameAndARing) {
    MenuFixture f;
    f.reminders.insert({QUuid::createUuid(), "Tea", f.clock.now().addSecs(600), false});
    MenuWindow window(f.models());
    window.openAt(QRect(600, 0, 22, 22), QRect(0, 24, 1920, 1056));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    // The cat has just eaten a file: its bubble stands on the page, "Put back" in the Tab ring.
    int putBacks = 0;
    window.view()->showBubble(MenuBubble{QStringLiteral("Yum! 😋"),
                                         QStringLiteral("“a.txt” is in the Trash"),
                                         {{QStringLiteral("Put back"), [&] { ++putBacks; }}}});
    walkThePage(window, "main");
    QWidget* putBack = window.findChild<QWidget*>(QStringLiteral("bubbleButton1"));
    ASSERT_TRUE(putBack);
    putBack->setFocus(Qt::TabFocusReason);
    QTest::keyClick(putBack, Qt::Key_Space);
    EXPECT_EQ(putBacks, 1);
    window.view()->showBubble(std::nullopt);
    EXPECT_FALSE(putBack->isVisible());
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
    window.view()->back();
    ASSERT_TRUE(window.view()->open(MenuView::Screen::reminders));
    walkThePage(window, "reminders");
    window.close();
}

} // namespace

namespace {

// Adding a reminder empties the field and so disables "Remind me": the focus goes back to the
// field, with no ring left behind after a click, and with the ring on the field after Space.
TEST(MenuAccessibility, AddingAReminderGivesTheFocusBackToTheFieldWithoutAStrayRing) {
    MenuFixture f;
    MenuWindow window(f.models());
    window.openAt(QRect(600, 0, 22, 22), QRect(0, 24, 1920, 1056));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    ASSERT_TRUE(window.view()->open(MenuView::Screen::reminders));
    auto* screen = qobject_cast<RemindersScreen*>(window.view()->subScreen());
    ASSERT_TRUE(screen);
    QApplication::processEvents();

    screen->field()->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(screen->field(), QStringLiteral("Tea"));
    QTest::mouseClick(screen->addButton(), Qt::LeftButton, {},
                      screen->addButton()->rect().center());
    ASSERT_EQ(f.reminders.list().size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(screen->field()));
    EXPECT_EQ(FocusRing::shown(), nullptr) << "a ring is left after a click";

    QTest::keyClicks(screen->field(), QStringLiteral("Stretch"));
    screen->addButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(screen->addButton(), Qt::Key_Space);
    ASSERT_EQ(f.reminders.list().size(), 2);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(screen->field()));
    ASSERT_TRUE(FocusRing::shown());
    EXPECT_EQ(FocusRing::shown()->around(), static_cast<QWidget*>(screen->field()));
    window.close();
}

} // namespace
