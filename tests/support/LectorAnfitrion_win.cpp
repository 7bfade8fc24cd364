#include "LectorAnfitrion.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>

#include <windows.h>

namespace {

// The host's name of a file of this system, from Wine's own translation;
// the text as it stands when it names no file or Wine is not there.
QString rutaDelAnfitrion(const QString& argumento)
{
    static const QRegularExpression absoluta(QStringLiteral("^([A-Za-z]:)?[/\\\\]"));
    using Traduccion = char* (*)(const wchar_t*);
    static const auto traducir = reinterpret_cast<Traduccion>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!traducir || !absoluta.match(argumento).hasMatch())
        return argumento;
    const std::wstring nativa = QDir::toNativeSeparators(argumento).toStdWString();
    char* unix = traducir(nativa.c_str());
    if (!unix)
        return argumento;
    const QString ruta = QString::fromUtf8(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return ruta;
}

bool escribirEntero(const QString& ruta, const QByteArray& contenido)
{
    const QString parcial = ruta + QStringLiteral(".escribiendo");
    QFile f(parcial);
    if (!f.open(QIODevice::WriteOnly) || f.write(contenido) != contenido.size())
        return false;
    f.close();
    return QFile::rename(parcial, ruta);
}

} // namespace

// Wine starts a Unix program but hands back a process that has already
// ended, without its exit code or output: the request goes to the service
// the ctest run started on the host (lector_anfitrion.py), through the folder
// RP_LECTORES names.
soporte::Lectura soporte::leerEnAnfitrion(const QString& programa, const QStringList& argumentos)
{
    const QString carpeta = qEnvironmentVariable("RP_LECTORES");
    if (carpeta.isEmpty())
        return {
            -1, {}, QStringLiteral("sin lector del anfitrión: RP_LECTORES no nombra su carpeta")};
    QJsonArray argumentosHost;
    for (const QString& a : argumentos)
        argumentosHost.append(rutaDelAnfitrion(a));
    const QString base = carpeta + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QJsonObject pedido{{QStringLiteral("programa"), programa},
                             {QStringLiteral("argumentos"), argumentosHost}};
    if (!escribirEntero(base + QStringLiteral(".pedido"), QJsonDocument(pedido).toJson()))
        return {-1, {}, QStringLiteral("no se pudo dejar el pedido en ") + carpeta};
    QFile respuesta(base + QStringLiteral(".respuesta"));
    const QDeadlineTimer plazo(300000);
    while (!respuesta.exists()) {
        if (plazo.hasExpired())
            return {-1, {}, QStringLiteral("el lector del anfitrión no respondió: ") + programa};
        QThread::msleep(20);
    }
    if (!respuesta.open(QIODevice::ReadOnly))
        return {-1, {}, respuesta.errorString()};
    const QJsonObject leido = QJsonDocument::fromJson(respuesta.readAll()).object();
    respuesta.remove();
    return {leido[QStringLiteral("codigo")].toInt(-1),
            QByteArray::fromBase64(leido[QStringLiteral("salida")].toString().toLatin1()),
            leido[QStringLiteral("error")].toString()};
}
