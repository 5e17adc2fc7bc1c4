#pragma once

#include <QList>
#include <QString>
#include <functional>

// The cat's open bubble (a letter, or the files it just ate) as the menu window repeats it: the
// cat's panel never takes the keyboard, so its buttons are reached here, from the menu.
struct MenuBubble {
    struct Button {
        QString label;
        std::function<void()> press;
    };
    QString heading;
    QString text;
    QList<Button> buttons;
};
