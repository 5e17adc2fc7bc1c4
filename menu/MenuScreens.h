#pragma once

#include <functional>

class QWidget;

// The sub-screens the main page links to, handed in by whoever composes the menu (the
// statistics and reminders screens are views of their own, beside the menu). Each builder
// makes a fresh screen with a `back` action that returns to the main page; the menu window
// owns the widget while it is shown. An empty builder (or one answering nullptr) leaves the
// main page in place.
struct MenuScreens {
    using Back = std::function<void()>;
    using Build = std::function<QWidget*(Back back)>;

    Build stats;
    Build reminders;
};
