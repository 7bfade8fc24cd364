#pragma once

#include <QString>

// --demo: the window (or the command-line report) on the demonstration
// database installed with the program, with no launcher and no server.
namespace Demostracion {

// The database --demo opens: a copy, in the program folder, of the one
// installed in the program's data folder, made the first time. The installed
// file is never opened (the window writes its access-log row, and a package's
// files stay as installed); the copy keeps what was done with it until it is
// deleted. Raises a run-time error that names what is missing or unwritable.
QString Base();

// The launcher's pair that names it.
QString Par();

} // namespace Demostracion
