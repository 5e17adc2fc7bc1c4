#include "CatPictures.h"
#include "cat/CatState.h"
#include "focus/Letter.h"
#include "kit/ChunkyButton.h"
#include "kit/QuietButton.h"
#include "sprites/CatView.h"
#include "sprites/EatenBubble.h"
#include "sprites/LetterBubble.h"
#include "strings/Strings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// The cat view in a letter-sized panel.
struct BubbleTest : ::testing::Test {
    CatState state;
    CatView view{state, [](CatSprite s) -> const QImage& { return catPictures().image(s); }};
    int reads = 0, updates = 0;
    void SetUp() override {
        view.resize(300, 390);
        view.onRead = [this] { ++reads; };
        view.onUpdate = [this] { ++updates; };
        view.show();
    }
    // Events handled, and a bubble that grows or shrinks done with it.
    void settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QElapsedTimer waited;
        waited.start();
        while (view.transitioning() && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        QCoreApplication::processEvents();
    }
    static Letter letter(const QString& text, bool update = false) {
        Letter l;
        l.text = text;
        l.update = update;
        return l;
    }
    template <class T> QList<T*> all() const { return view.findChildren<T*>(); }
    static QString labels(const QList<QAbstractButton*>& buttons) {
        QStringList texts;
        for (auto* b : buttons)
            texts << b->text();
        return texts.join('|');
    }
};

TEST_F(BubbleTest, TextsFromHundredAndElevenCharactersScroll) {
    const QString short110 = QString(110, QLatin1Char('a'));
    const QString long111 = QString(111, QLatin1Char('a'));
    EXPECT_FALSE(LetterBubble::scrolls(short110));
    EXPECT_TRUE(LetterBubble::scrolls(long111));
    // Characters as a reader counts them: a family emoji is one, not eleven code units.
    const QString family = QString::fromUtf8("👨‍👩‍👧‍👦");
    EXPECT_FALSE(LetterBubble::scrolls(QString(109, QLatin1Char('a')) + family));

    state.setReading(letter(short110));
    settle();
    ASSERT_NE(view.bubble(), nullptr);
    EXPECT_TRUE(all<QScrollArea>().isEmpty());

    // Ten thousand characters of right-to-left text with emoji: a 140-point area that scrolls.
    QString hebrew;
    while (hebrew.size() < 10000)
        hebrew += QString::fromUtf8("שלום עולם 🌍 ");
    state.setReading(letter(hebrew));
    settle();
    const auto areas = all<QScrollArea>();
    ASSERT_EQ(areas.size(), 1);
    EXPECT_EQ(areas[0]->height(), 140);
    EXPECT_EQ(areas[0]->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_GT(areas[0]->verticalScrollBar()->maximum(), 1000);
    // The bubble stays within the panel and takes the pointer, wheel included.
    const QRect bubble = *view.bubbleRect();
    EXPECT_GE(bubble.top(), 0);
    EXPECT_TRUE(view.drawnRegion().contains(areas[0]->mapTo(&view, areas[0]->rect().center())));
}

TEST_F(BubbleTest, ButtonsOfEachLetterKind) {
    state.setReading(letter("Stand up"));
    settle();
    auto buttons = all<QAbstractButton>();
    EXPECT_EQ(labels(buttons), S().done());
    buttons[0]->click();
    EXPECT_EQ(reads, 1);

    state.setReading(letter("Version 2 is ready", true));
    settle();
    ASSERT_EQ(all<QuietButton>().size(), 1);
    ASSERT_EQ(all<ChunkyButton>().size(), 1);
    EXPECT_EQ(all<QuietButton>()[0]->text(), S().later());
    EXPECT_EQ(all<ChunkyButton>()[0]->text(), S().update());
    all<QuietButton>()[0]->click();
    EXPECT_EQ(reads, 2);
    all<ChunkyButton>()[0]->click();
    EXPECT_EQ(updates, 1);

    // A letter over the eaten bubble: only the letter shows.
    state.setEaten(CatState::Eaten{{"a.txt"}, {}});
    settle();
    EXPECT_NE(qobject_cast<LetterBubble*>(view.bubble()), nullptr);
    state.setReading(std::nullopt);
    settle();
    EXPECT_NE(qobject_cast<EatenBubble*>(view.bubble()), nullptr);
    state.setEaten(std::nullopt);
    settle();
    EXPECT_EQ(view.bubble(), nullptr);
    EXPECT_FALSE(view.bubbleRect());
}

TEST_F(BubbleTest, TailFollowsTheCatWithin95PointsBubbleStaysCentred) {
    state.setReading(letter("hi"));
    state.setCatOffset(200);
    settle();
    EXPECT_EQ(view.bubble()->tail(), 95);
    EXPECT_EQ(view.bubbleRect()->center().x(), 150 - 1); // centred (QRect's centre rounds down)
    state.setCatOffset(-30);
    settle();
    EXPECT_EQ(view.bubble()->tail(), -30);
    EXPECT_EQ(view.bubble()->body().width(), 250);
}

TEST_F(BubbleTest, EatenBubbleWordsOneOrManyAndPutsBack) {
    int undos = 0;
    state.setEaten(CatState::Eaten{{"notes.txt"}, [&] { ++undos; }});
    settle();
    auto* eaten = qobject_cast<EatenBubble*>(view.bubble());
    ASSERT_NE(eaten, nullptr);
    EXPECT_EQ(eaten->message(), S().inTrash("notes.txt"));
    state.setEaten(CatState::Eaten{{"a", "b", "c"}, [&] { ++undos; }});
    settle();
    EXPECT_EQ(eaten->message(), S().filesInTrash(3));
    ASSERT_EQ(all<ChunkyButton>().size(), 1);
    EXPECT_EQ(all<ChunkyButton>()[0]->text(), S().putBack());
    all<ChunkyButton>()[0]->click();
    EXPECT_EQ(undos, 1);
}

TEST_F(BubbleTest, AReportTooTallForThePanelScrollsInsideIt) {
    Letter report = letter("A good week 💪");
    report.report = FocusReport{"📅 your week", {}, {"Best day: Tuesday"}, QList<double>(7, 3600)};
    for (int i = 0; i < 6; ++i)
        report.report->rows.append({QStringLiteral("Activity %1").arg(i), "1 h 5 min"});
    view.resize(340, 660);
    state.setReading(report);
    settle();
    auto* bubble = qobject_cast<LetterBubble*>(view.bubble());
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->body().width(), 290);
    const int whole = bubble->scrollArea()->height();
    EXPECT_EQ(bubble->scrollArea()->verticalScrollBar()->maximum(), 0) << "fits: no scrolling";

    // Under the top of the screen the panel is short: the report scrolls within what is left.
    view.resize(340, 300);
    state.setCatOffset(1); // any change settles the view again
    settle();
    EXPECT_LT(bubble->scrollArea()->height(), whole);
    EXPECT_GE(view.bubbleRect()->top(), 0);
    EXPECT_GT(bubble->scrollArea()->verticalScrollBar()->maximum(), 0);
}

TEST_F(BubbleTest, GrowsAndFadesInThenRestsSpringsWithTheCaptionAndShrinksAway) {
    state.setReading(letter("Stand up"));
    QCoreApplication::processEvents();
    // The first frame: small and clear, the widget itself not yet shown.
    EXPECT_TRUE(view.transitioning());
    EXPECT_NEAR(view.bubbleScale(), BubbleTransition::grownFrom, 0.05);
    EXPECT_LT(view.bubbleOpacity(), 0.2);
    EXPECT_FALSE(view.bubble()->isVisible());
    settle();
    // Grown, shown, and the transition clock stopped.
    EXPECT_FALSE(view.transitioning());
    EXPECT_EQ(view.bubbleScale(), 1);
    EXPECT_EQ(view.bubbleOpacity(), 1);
    EXPECT_TRUE(view.bubble()->isVisible());
    auto frames = view.automation().value("frames").toList();
    ASSERT_GE(frames.size(), 3);
    double scale = 0;
    for (const QVariant& f : frames) {
        EXPECT_GE(f.toList()[1].toDouble(), scale) << "the bubble never shrinks while it opens";
        scale = f.toList()[1].toDouble();
    }

    // A caption comes under the open bubble: the bubble starts where it was and springs up.
    const int top = view.bubbleRect()->top();
    state.setCaption(QStringLiteral("Break 4:59"));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.automation().value("transition").toString(), "stack");
    EXPECT_NEAR(view.bubbleRect()->top(), top, 1);
    settle();
    EXPECT_LT(view.bubbleRect()->top(), top - 10);
    frames = view.automation().value("frames").toList();
    EXPECT_LT(frames.front().toList()[3].toDouble(), 1) << "starts at its old place";
    EXPECT_EQ(frames.back().toList()[3].toDouble(), 0) << "ends at rest";

    // Read: it shrinks and fades from a picture of it, and the panel is told to keep its room.
    QList<bool> leaving;
    QObject::connect(&view, &CatView::bubbleLeaving, [&](bool l) { leaving.append(l); });
    state.setReading(std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.bubble(), nullptr);
    EXPECT_TRUE(view.transitioning());
    EXPECT_GT(view.bubbleOpacity(), 0.8);
    settle();
    EXPECT_EQ(view.bubbleOpacity(), 0);
    EXPECT_EQ(leaving, (QList<bool>{true, false}));
    EXPECT_FALSE(view.transitioning());
}

} // namespace
