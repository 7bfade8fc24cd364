#pragma once

// Given to every file of the Windows build (CMake's forced include), so the
// shared code builds unchanged with MinGW.

// MinGW's C library has open(), read(), dup() and close(), but names the flag
// that keeps a descriptor from child processes its own way.
#include <fcntl.h>
#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif

// Windows' ODBC headers expect its basic types declared before them, as
// <windows.h> would have done; without the min and max macros, which would
// take the standard library's names.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windef.h>
