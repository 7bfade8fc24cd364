#include "FuenteOdbc.h"

#include "platform/text/RuntimeError.h"

#include <windows.h>

// Under Wine the driver manager is the host's unixODBC, which took ODBCINI
// from the process's start (no later change reaches it) and reads that file
// again at every connection: the new source goes into that very file, which
// the test programs running beside this one share, so under a lock.
void soporte::agregarFuenteOdbc(const QString&, const QString&, const QString& fuente)
{
    const std::wstring ruta = qEnvironmentVariable("ODBCINI").toStdWString();
    const HANDLE archivo =
        CreateFileW(ruta.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (archivo == INVALID_HANDLE_VALUE)
        throw RuntimeError(ErrorNumber::FileAccess, QStringLiteral("No se pudo escribir ") +
                                                        qEnvironmentVariable("ODBCINI"));
    OVERLAPPED todo{};
    LockFileEx(archivo, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &todo);
    const QByteArray texto = (u'\n' + fuente + u'\n').toUtf8();
    DWORD escritos = 0;
    const bool bien =
        WriteFile(archivo, texto.constData(), DWORD(texto.size()), &escritos, nullptr) &&
        escritos == DWORD(texto.size());
    UnlockFileEx(archivo, 0, MAXDWORD, MAXDWORD, &todo);
    CloseHandle(archivo);
    if (!bien)
        throw RuntimeError(ErrorNumber::FileAccess, QStringLiteral("No se pudo escribir ") +
                                                        qEnvironmentVariable("ODBCINI"));
}
