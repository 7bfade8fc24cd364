#pragma once

// Whether a window could be shown: a run without one (a scheduled job, a
// remote shell) says so in one line instead of failing inside Qt.
bool displayAvailable();

// Before the application object: a run that shows no window draws on Qt's
// offscreen platform (the PDF's text, the measures of the page's chart).
void useOffscreenPlatform();
