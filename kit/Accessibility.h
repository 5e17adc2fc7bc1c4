#pragma once

#include <QString>

class QAccessibleInterface;
class QColor;
class QWidget;

// What assistive technology (a screen reader walking AT-SPI) sees of the app. Our controls are
// painted, so Qt's stock view of them needs help: names are read without the emoji the screen
// shows, hidden widgets are left out of the tree, and the menu window, a popup, is listed among
// the application's windows like any other.
namespace Accessibility {

// Installs the application's and the painted controls' accessible faces; later calls do
// nothing. Before the first window shows.
void install();

// A text as a screen reader should say it: without emoji, pictographs, variation selectors
// and decorations such as "‹" or "✓", spaces collapsed. "📊 Stats" says "Stats".
QString spoken(const QString& text);

// The static-text face of a painted line of text: `words` gives what it says.
QAccessibleInterface* staticText(QWidget* widget, QString (*words)(const QWidget*));

// WCAG's contrast ratio between two opaque colours, 1 to 21.
double contrast(const QColor& a, const QColor& b);

} // namespace Accessibility
