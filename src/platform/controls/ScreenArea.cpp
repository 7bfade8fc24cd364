#include "platform/controls/ScreenArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect availableScreenArea(const QWidget* window)
{
    if (!window || !window->isWindow())
        return {};
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
