#include "platform/controls/DisplayPresence.h"

#include <QString>

#include <windows.h>

// A process of the operator's session has a desktop to draw on; a service's
// window station has none that anyone sees.
bool displayAvailable()
{
    USEROBJECTFLAGS flags{};
    const HWINSTA station = GetProcessWindowStation();
    if (station && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
        return (flags.dwFlags & WSF_VISIBLE) != 0;
    return true;
}

// On Windows the offscreen platform reads fonts from a folder of its own,
// Qt's "lib/fonts", which an installed program has not got: without fonts
// the PDF would have no text. The system's font folder holds the ones the
// window uses.
void useOffscreenPlatform()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsSet("QT_QPA_FONTDIR"))
        return;
    wchar_t windows[MAX_PATH];
    const UINT largo = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (largo > 0 && largo < MAX_PATH)
        qputenv("QT_QPA_FONTDIR",
                (QString::fromWCharArray(windows, int(largo)) + QStringLiteral("\\Fonts"))
                    .toLocal8Bit());
}
