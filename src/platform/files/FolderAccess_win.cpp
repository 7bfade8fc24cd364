#include "platform/files/FolderAccess.h"

#include <QDir>
#include <QRandomGenerator>
#include <windows.h>

// Qt's answer on Windows looks at the read-only attribute only; the folder's
// permissions (Program Files refuses a plain user) show only by trying: a
// file that is gone again when its handle closes.
bool folderTakesFiles(const QString& folder)
{
    const QString probe = QDir(folder).filePath(
        QStringLiteral(".rp_oproduccion-%1.probe").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                       QLatin1Char('0')));
    const HANDLE h = CreateFileW(QDir::toNativeSeparators(probe).toStdWString().c_str(),
                                 GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_FLAG_DELETE_ON_CLOSE,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
