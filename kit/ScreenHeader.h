#pragma once

#include <QString>
#include <functional>

class QHBoxLayout;
class QWidget;

// The row at the top of a menu sub-screen: the back button on the left, the screen's title on
// the right. Widgets are parented to owner.
QHBoxLayout* screenHeader(QWidget* owner, const QString& title, std::function<void()> back);
