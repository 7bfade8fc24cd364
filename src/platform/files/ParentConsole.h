#pragma once

// The window program on Windows is a window (GUI-subsystem) program, so the
// desktop and the suite's launcher open no console beside its window. Started
// from a console (cmd.exe, a script, the companion rp_oproduccion.com), it
// takes its parent's console, as a console program would have it: the
// standard output and error it was started without write there, and Ctrl+C,
// Ctrl+Break and closing that console reach it. Elsewhere a program has its
// terminal already, and this does nothing.
// Call first in main(), before anything looks at the standard streams.
void attachToParentConsole();
