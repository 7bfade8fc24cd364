#pragma once

#include <QRect>

class QWidget;

// The part of the screen a top-level window may use (its own screen, or the
// primary one); an empty rectangle for a child widget or when there is no screen.
QRect availableScreenArea(const QWidget* window);
