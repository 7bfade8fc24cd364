#pragma once

// Whether a window could be shown: a run without one (a scheduled job, a
// remote shell) says so in one line instead of failing inside Qt.
bool displayAvailable();
