#pragma once

#include <QString>

// The name of the account the program runs under, as the system knows it:
// what the suite records as the workstation's user when the environment does
// not say it. Empty when the system cannot tell.
QString operatorAccountName();
