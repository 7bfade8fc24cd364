#pragma once

// Given to every file of the Windows build (CMake's forced include): MinGW's
// C library has open(), read(), dup() and close(), but names the flag that
// keeps a descriptor from child processes its own way.
#include <fcntl.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif
