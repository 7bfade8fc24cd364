#pragma once

#include <QString>

// Whether the operator can create files in `folder`, as the system will
// decide when a file is created there.
bool folderTakesFiles(const QString& folder);
