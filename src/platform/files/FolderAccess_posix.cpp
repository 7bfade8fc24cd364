#include "platform/files/FolderAccess.h"

#include <QFileInfo>

bool folderTakesFiles(const QString& folder)
{
    return QFileInfo(folder).isWritable();
}
