#pragma once

#include <QIcon>
#include <QString>

// An icon of the program's resources by its name without the extension
// (":/iconos/TELVARO"). The build puts in either the SVG, where Qt draws SVG,
// or PNG drawings of it made at build time at its own size and at twice that
// ("name@2x.png", for screens scaled by 2), where it does not (the Windows
// build); callers need not know which. Null when there is neither.
QIcon resourceIcon(const QString& name);
