#include "platform/controls/DisplayPresence.h"

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
