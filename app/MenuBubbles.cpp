#include "app/MenuBubbles.h"

#include "cat/CatOverlay.h"
#include "menu/MenuView.h"
#include "strings/Strings.h"

#include <QPointer>

namespace {

// What the menu shows, so a frame that changed only the picture rebuilds nothing.
struct Shown {
    bool letter = false;
    bool update = false;
    QString text;
    bool eaten = false;
    QStringList names;
    bool operator==(const Shown&) const = default;
};

Shown shownBy(const CatState& state) {
    Shown now;
    if (const Letter* letter = state.reading()) {
        now.letter = true;
        now.update = letter->update;
        now.text = letter->text;
    } else if (const CatState::Eaten* eaten = state.eaten()) {
        now.eaten = true;
        now.names = eaten->names;
    }
    return now;
}

std::optional<MenuBubble> bubbleOf(CatOverlay& cats) {
    QPointer<CatOverlay> cat(&cats);
    if (const Letter* letter = cats.state.reading()) {
        MenuBubble bubble;
        bubble.heading = letter->report   ? letter->report->title
                         : letter->update ? S().newVersion()
                                          : S().reminderTitle();
        bubble.text = letter->text;
        if (letter->report)
            for (const FocusReport::Row& row : letter->report->rows)
                bubble.text += QLatin1Char('\n') + row.name + QStringLiteral(" · ") + row.time;
        const auto read = [cat] {
            if (cat) cat->markRead();
        };
        if (letter->update) {
            bubble.buttons = {{S().later(), read}, {S().update(), [cat] {
                                                        if (cat) cat->acceptUpdate();
                                                    }}};
        } else {
            bubble.buttons = {{S().done(), read}};
        }
        return bubble;
    }
    if (const CatState::Eaten* eaten = cats.state.eaten()) {
        MenuBubble bubble;
        bubble.heading = S().yum();
        bubble.text = eaten->names.size() == 1 ? S().inTrash(eaten->names.front())
                                               : S().filesInTrash(int(eaten->names.size()));
        bubble.buttons = {{S().putBack(), [cat] {
                               if (!cat) return;
                               if (const CatState::Eaten* now = cat->state.eaten()) now->undo();
                           }}};
        return bubble;
    }
    return std::nullopt;
}

} // namespace

void showBubblesInMenu(CatOverlay& cats, MenuView& menu) {
    auto shown = std::make_shared<Shown>();
    QObject::connect(&cats.state, &CatState::changed, &menu, [&cats, &menu, shown] {
        Shown now = shownBy(cats.state);
        if (now == *shown) return;
        *shown = std::move(now);
        menu.showBubble(bubbleOf(cats));
    });
}
