#include "platform/controls/DisplayPresence.h"

#include <QByteArray>
#include <QtGlobal>

bool displayAvailable()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

void useOffscreenPlatform()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}
