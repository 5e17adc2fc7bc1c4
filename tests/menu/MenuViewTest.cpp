#include "menu/MenuView.h"

#include "MenuTestSupport.h"
#include "fakes/Wait.h"
#include "kit/ChunkyButton.h"
#include "kit/CuteToggle.h"
#include "kit/FieldCard.h"
#include "kit/QuietButton.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "menu/ActivityEditor.h"
#include "menu/LanguageScreen.h"
#include "menu/MenuFooter.h"
#include "menu/MenuWindow.h"
#include "menu/MinutesRow.h"
#include "menu/PawIcon.h"
#include "menu/PomodoroCard.h"
#include "menu/RemindersLink.h"
#include "menu/StatsLink.h"
#include "menu/TrayEntry.h"
#include "strings/Lang.h"
#include "strings/Strings.h"
#include "updates/UpdateChecks.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QUuid>
#include <gtest/gtest.h>

TEST(MinutesRow, StepsToNeighboursEvenFromAValueOutsideTheChoices) {
    const QList<int> work = Pomodoro::workChoices(); // 1, 5, 10 … 90
    EXPECT_EQ(MinutesRow::below(work, 7), 5);
    EXPECT_EQ(MinutesRow::above(work, 7), 10);
    EXPECT_EQ(MinutesRow::below(work, 5), 1);
    EXPECT_EQ(MinutesRow::below(work, 1), std::nullopt);
    EXPECT_EQ(MinutesRow::above(work, 90), std::nullopt);
    EXPECT_EQ(MinutesRow::above(work, 200), std::nullopt);
    EXPECT_EQ(MinutesRow::below(work, 200), 90);
    EXPECT_EQ(MinutesRow::above(work, 0), 1);

    // In the card: at the ends the buttons are off, and a step writes through to the model.
    MenuFixture f;
    PomodoroCard card(f.pomodoro, f.log);
    f.pomodoro.setWorkMinutes(1);
    EXPECT_FALSE(card.workRow()->minus()->isEnabled());
    EXPECT_TRUE(card.workRow()->plus()->isEnabled());
    card.workRow()->plus()->click();
    EXPECT_EQ(f.pomodoro.workMinutes(), 5);
    f.pomodoro.setWorkMinutes(90);
    EXPECT_FALSE(card.workRow()->plus()->isEnabled());
    card.breakRow()->minus()->click();
    EXPECT_EQ(f.pomodoro.breakMinutes(), 4);
}

TEST(ActivityEditor, KeepsThirtyCharactersAsTheUserSeesThem) {
    const QString ascii = QString(31, u'a');
    EXPECT_EQ(ActivityEditor::cut(ascii), QString(30, u'a'));
    EXPECT_EQ(ActivityEditor::cut(QString(30, u'b')), QString(30, u'b'));
    // A family emoji is seven code points but one character; it is never split.
    const QString family = QStringLiteral("👨‍👩‍👧‍👦");
    const QString mixed = QString(29, u'x') + family + family;
    EXPECT_EQ(ActivityEditor::cut(mixed), QString(29, u'x') + family);
    EXPECT_EQ(ActivityEditor::cut(QString()), QString());

    // Typed or pasted into the field: the pomodoro gets the first 30.
    MenuFixture f;
    ActivityEditor editor(f.pomodoro, f.log);
    editor.field()->setText(QStringLiteral("Ж") + QString(30, u'z'));
    EXPECT_EQ(f.pomodoro.activity(), QStringLiteral("Ж") + QString(29, u'z'));
    EXPECT_EQ(editor.field()->text(), f.pomodoro.activity());
}

TEST(ActivityEditor, SuggestsRecentActivitiesAndATapPicksOne) {
    EXPECT_EQ(ActivityEditor::suggestions({"a", "b", "c", "d", "e"}, "b"),
              QStringList({"a", "c", "d"}));
    EXPECT_EQ(ActivityEditor::suggestions({"a", "b", "c", "d"}, "z"), QStringList({"a", "b", "c"}));
    EXPECT_TRUE(ActivityEditor::suggestions({"a"}, "a").isEmpty());

    MenuFixture f;
    f.pomodoro.setActivity(QStringLiteral("Thesis"));
    for (const char* name : {"Thesis", "Email", "Reading"}) {
        f.pomodoro.setActivity(QString::fromUtf8(name));
        f.pomodoro.start();
        f.clock.advance(120);
        f.pomodoro.stop();
    }
    ActivityEditor editor(f.pomodoro, f.log);
    QStringList shown;
    for (QWidget* chip : editor.chips())
        shown << static_cast<ChunkyButton*>(chip)->text();
    EXPECT_EQ(shown, QStringList({"Email", "Thesis"})); // newest first, without the current
    static_cast<ChunkyButton*>(editor.chips()[1])->click();
    EXPECT_EQ(f.pomodoro.activity(), QStringLiteral("Thesis"));
    EXPECT_EQ(editor.field()->text(), QStringLiteral("Thesis"));
}

TEST(PomodoroCard, StartShowsTheCountdownAndStopBooksTheStretch) {
    MenuFixture f;
    PomodoroCard card(f.pomodoro, f.log);
    card.show();
    EXPECT_EQ(card.startStop()->text(), S().start());
    EXPECT_TRUE(card.editor()->isVisible());
    card.startStop()->click();
    EXPECT_FALSE(f.pomodoro.phase().isOff());
    EXPECT_EQ(card.startStop()->text(), S().stop());
    EXPECT_EQ(card.startStop()->look().fill, Theme::paper());
    EXPECT_FALSE(card.editor()->isVisible());
    EXPECT_EQ(card.statusLine()->text(), S().working() + QStringLiteral(" · 25:00"));
    f.clock.advance(61);
    f.pomodoro.tick();
    EXPECT_EQ(card.statusLine()->text(), S().working() + QStringLiteral(" · 23:59"));
    card.startStop()->click();
    EXPECT_TRUE(f.pomodoro.phase().isOff());
    EXPECT_TRUE(card.statusLine()->text().isEmpty());
    ASSERT_EQ(f.log.stretches().size(), 1);
    EXPECT_NEAR(f.log.stretches()[0].seconds, 61, 1);
}

TEST(MenuLinks, StatsRoundTodayToMinutesAndRemindersCountWhatWaits) {
    MenuFixture f;
    const QDateTime now = f.clock.now();
    FocusLog ninety(f.clock, {FocusLog::Stretch{"Work", now.addSecs(-600), now.addSecs(-600), 1500,
                                                90, false}});
    // 90 seconds round to 2 minutes; no streak yet adds nothing.
    ASSERT_EQ(ninety.streak(now).dayCount, 0);
    EXPECT_EQ(StatsLink::subtitleFor(ninety, now), S().focusToday(nbsp(S().duration(2))));
    QList<FocusLog::Stretch> days;
    for (int d = 2; d >= 0; --d)
        days << FocusLog::Stretch{
            "Work", now.addDays(-d).addSecs(-3600), now.addDays(-d).addSecs(-3600), 1500, 1500,
            true};
    FocusLog streak(f.clock, days);
    const int count = streak.streak(now).dayCount;
    ASSERT_GE(count, 1);
    EXPECT_EQ(StatsLink::subtitleFor(streak, now),
              S().focusToday(nbsp(S().duration(25))) + QStringLiteral(" · 🔥 ") + S().days(count));
    EXPECT_FALSE(StatsLink::subtitleFor(streak, now).contains(S().duration(25))); // never wraps

    RemindersLink link(f.reminders, f.clock);
    EXPECT_EQ(link.badge(), std::nullopt);
    EXPECT_EQ(link.subtitle(), S().noReminders());
    f.reminders.insert({QUuid::createUuid(), "Call mum", now.addSecs(3600), false});
    f.reminders.insert({QUuid::createUuid(), "Tea", now.addSecs(600), false});
    EXPECT_EQ(link.badge(), 2);
    EXPECT_EQ(
        link.subtitle(),
        S().nextReminder(QLocale().toString(now.addSecs(600).time(), QLocale::ShortFormat), "Tea"));
}

TEST(MenuFooter, TheToggleFollowsTheLoginItemAndOffersApprovalWhenHeldBack) {
    MenuFixture f;
    f.loginItem.state = LoginItem::Status::requiresApproval;
    LaunchAtLogin held(f.loginItem, *f.defaults);
    MenuFooter footer(
        held, &*f.defaults, [] {}, [] {});
    footer.show();
    EXPECT_FALSE(footer.loginToggle()->isChecked());
    ASSERT_TRUE(footer.allowButton()->isVisible());
    footer.allowButton()->click();
    EXPECT_EQ(f.loginItem.opened, 1);

    // The desktop let it through; the user switches it off and on again.
    f.loginItem.state = LoginItem::Status::enabled;
    held.set(true);
    EXPECT_TRUE(footer.loginToggle()->isChecked());
    EXPECT_FALSE(footer.allowButton()->isVisible());
    footer.loginToggle()->click();
    EXPECT_EQ(f.loginItem.state, LoginItem::Status::notRegistered);
    // A failed switch snaps back to what the system says.
    f.loginItem.failure = QStringLiteral("read-only folder");
    footer.loginToggle()->click();
    EXPECT_FALSE(footer.loginToggle()->isChecked());
    EXPECT_EQ(footer.languageButton() != nullptr, availableLanguages().size() >= 2);

    // "Check for updates" starts on and is stored like the other settings; a build without the
    // updater has no such switch.
    ASSERT_TRUE(footer.updatesToggle());
    EXPECT_TRUE(footer.updatesToggle()->isChecked());
    footer.updatesToggle()->click();
    EXPECT_EQ(f.defaults.reopened()->boolean(UpdateChecks::key), false);
    MenuFooter again(
        held, &*f.defaults, [] {}, [] {});
    EXPECT_FALSE(again.updatesToggle()->isChecked());
    MenuFooter packaged(
        held, nullptr, [] {}, [] {});
    EXPECT_EQ(packaged.updatesToggle(), nullptr);
}

TEST(MenuView, SubScreensReplaceTheMainPageAndChoosingALanguageRelaunches) {
    MenuFixture f;
    MenuView view(f.models());
    view.show();
    EXPECT_EQ(view.width(), 310);
    // A screen nobody built yet leaves the main page in place.
    if (!view.open(MenuView::Screen::stats)) {
        EXPECT_FALSE(view.screen().has_value());
        EXPECT_TRUE(view.mainPage()->isVisible());
    }
    ASSERT_TRUE(view.open(MenuView::Screen::language));
    EXPECT_EQ(view.screen(), MenuView::Screen::language);
    EXPECT_FALSE(view.mainPage()->isVisible());
    auto* screen = static_cast<LanguageScreen*>(view.subScreen());
    ASSERT_EQ(screen->rows().size(), 1 + availableLanguages().size());
    screen->backButton()->click();
    EXPECT_FALSE(view.screen().has_value());
    EXPECT_TRUE(view.mainPage()->isVisible());

    // Choosing: the pomodoro stops and books, the choice is stored, relaunch, then quit.
    f.pomodoro.start();
    f.clock.advance(30);
    ASSERT_TRUE(view.open(MenuView::Screen::language));
    screen = static_cast<LanguageScreen*>(view.subScreen());
    screen->rows()[0]->click(); // "Same as system" is already the choice: nothing happens
    EXPECT_EQ(f.quits, 0);
    screen->rows()[2]->click(); // Русский
    EXPECT_TRUE(f.pomodoro.phase().isOff());
    EXPECT_EQ(f.log.stretches().size(), 1);
    EXPECT_EQ(Lang::chosenIn(*f.defaults), Language::ru);
    EXPECT_EQ(f.relaunches, 1);
    EXPECT_EQ(f.quits, 1);

    // The next screen ticks the stored choice; a failed relaunch still quits.
    view.back();
    ASSERT_TRUE(view.open(MenuView::Screen::language));
    screen = static_cast<LanguageScreen*>(view.subScreen());
    f.relaunchWorks = false;
    screen->rows()[2]->click(); // the chosen row: nothing
    EXPECT_EQ(f.quits, 1);
    screen->rows()[0]->click();
    EXPECT_EQ(Lang::chosenIn(*f.defaults), std::nullopt);
    EXPECT_EQ(f.quits, 2);
}

TEST(MenuWindow, PlacesItselfUnderTheIconInsideTheWorkArea) {
    const QRect work(0, 24, 1920, 1056);
    // Under an icon at the top right: centred on it, pushed left to stay on screen.
    EXPECT_EQ(MenuWindow::placement(QRect(1897, 1, 22, 22), {310, 540}, work),
              QRect(1610, 27, 310, 540));
    // A panel at the bottom opens it upwards.
    const QRect low(0, 0, 1920, 1040);
    EXPECT_EQ(MenuWindow::placement(QRect(900, 1050, 22, 22), {310, 540}, low),
              QRect(755, 1040 - 540, 310, 540));
    // A screen too small: as tall as the work area, at its top.
    EXPECT_EQ(MenuWindow::placement(QRect(10, 0, 1, 1), {310, 540}, QRect(0, 20, 800, 400)),
              QRect(0, 20, 310, 400));
    EXPECT_FALSE(MenuWindow::needsResize(500, 500.5));
    EXPECT_FALSE(MenuWindow::needsResize(500, 499.5));
    EXPECT_TRUE(MenuWindow::needsResize(500, 500.6));
    EXPECT_TRUE(MenuWindow::needsResize(500, 499.4));
    EXPECT_FALSE(MenuWindow::needsResize(500, 0)); // nothing measured yet
}

TEST(MenuWindow, FollowsItsContentHeightKeepingTheTopEdge) {
    MenuFixture f;
    MenuWindow window(f.models());
    window.openAt(QRect(1500, 0, 22, 22), QRect(0, 24, 1920, 1056));
    ASSERT_TRUE(window.isVisible());
    const QRect before = window.geometry();
    EXPECT_EQ(before.height(), window.contentHeight());
    EXPECT_EQ(before.width(), 310);

    ASSERT_TRUE(window.view()->open(MenuView::Screen::language));
    EXPECT_TRUE(waitFor([&] { return window.height() == window.contentHeight(); }));
    EXPECT_LT(window.height(), before.height());
    EXPECT_EQ(window.geometry().top(), before.top());

    window.view()->back();
    EXPECT_TRUE(waitFor([&] { return window.height() == before.height(); }));
    EXPECT_EQ(window.geometry().top(), before.top());
    window.close();
}

TEST(MenuWindow, HoldsTheWholeFooterWhenTheChipsWrap) {
    MenuFixture f;
    for (const char* name : {"Work", "Lattice QCD", "Guitar", "Thesis chapter"}) {
        f.pomodoro.setActivity(QString::fromUtf8(name));
        f.pomodoro.start();
        f.clock.advance(120);
        f.pomodoro.stop();
    }
    f.pomodoro.setActivity(QStringLiteral("Work"));
    for (int opening = 0; opening < 2; ++opening) {
        MenuWindow window(f.models());
        window.openAt(QRect(1500, 0, 22, 22), QRect(0, 24, 1920, 1056));
        QWidget* quit = window.findChild<QWidget*>(QStringLiteral("quitButton"));
        ASSERT_NE(quit, nullptr);
        const auto chips = window.view()->pomodoroCard()->findChildren<ChunkyButton*>(
            QRegularExpression(QStringLiteral("^chip")));
        ASSERT_EQ(chips.size(), 3);
        // Settled: the window as tall as the content, and the footer's last row inside it.
        EXPECT_TRUE(waitFor([&] {
            return quit->mapTo(&window, QPoint(0, quit->height())).y() <= window.height() - 16;
        })) << "Quit ends at "
            << quit->mapTo(&window, QPoint(0, quit->height())).y() << " in a window "
            << window.height() << " high";
        EXPECT_GT(chips[2]->mapTo(&window, QPoint()).y(), chips[0]->mapTo(&window, QPoint()).y())
            << "the chips fit one row: the test proves nothing";
        EXPECT_EQ(window.height(), window.contentHeight());
        window.close();
    }
}

TEST(TrayEntry, ShowsMinutesInTheIconAndTheCountdownInTheTooltip) {
    EXPECT_EQ(PawIcon::shownMinutes(25 * 60), 25);
    EXPECT_EQ(PawIcon::shownMinutes(24 * 60 + 1), 25);
    EXPECT_EQ(PawIcon::shownMinutes(30), 1);
    EXPECT_EQ(PawIcon::shownMinutes(0), 0);

    MenuFixture f;
    int opened = 0;
    int quits = 0;
    TrayEntry tray(
        f.pomodoro, [&](const QRect&) { ++opened; }, [&] { ++quits; });
    const QList<QAction*> items = tray.contextMenu().actions();
    ASSERT_EQ(items.size(), 4); // Open, Start, a line, Quit
    EXPECT_EQ(items[0]->text(), S().openApp());
    EXPECT_EQ(items[1]->text(), S().startFocus());
    EXPECT_EQ(items[3]->text(), S().quit());
    EXPECT_EQ(tray.shownMinutes(), std::nullopt);
    EXPECT_EQ(tray.toolTip(), "Purrlox");
    const int idle = tray.iconRedraws();

    f.pomodoro.start();
    EXPECT_EQ(tray.shownMinutes(), 25);
    EXPECT_EQ(tray.toolTip(), "Purrlox · 25:00");
    // Every second the tooltip; the icon only when the minute number changes.
    for (int s = 0; s < 59; ++s) {
        f.clock.advance(1);
        f.pomodoro.tick();
    }
    EXPECT_EQ(tray.toolTip(), "Purrlox · 24:01");
    EXPECT_EQ(items[1]->text(), S().stopFocus("24:01"));
    EXPECT_EQ(tray.iconRedraws(), idle + 1);
    f.clock.advance(1);
    f.pomodoro.tick();
    EXPECT_EQ(tray.shownMinutes(), 24);
    EXPECT_EQ(tray.iconRedraws(), idle + 2);
    items[1]->trigger(); // Stop, from the context menu
    EXPECT_FALSE(f.pomodoro.remaining());
    EXPECT_EQ(tray.shownMinutes(), std::nullopt);
    EXPECT_EQ(tray.toolTip(), "Purrlox");
    EXPECT_EQ(items[1]->text(), S().startFocus());
    items[1]->trigger();
    EXPECT_EQ(tray.shownMinutes(), 25);
    f.pomodoro.stop();

    // The two pictures differ, and both fill their square.
    const QImage paw = PawIcon::draw(22, std::nullopt);
    const QImage count = PawIcon::draw(22, 25);
    EXPECT_EQ(paw.size(), QSize(22, 22));
    EXPECT_NE(paw, count);
}
