#pragma once

#include "BaseDatos.h"
#include "platform/text/RuntimeError.h"

#include <QFile>
#include <QSqlDatabase>

// The benchmarks' database: generated afresh in the SQLite file `archivo`,
// or in the schema of the ODBC data source `dsn` when one is given.
inline basedatos::ResumenGenerador generarBase(const basedatos::OpcionesGenerador& opciones,
                                               const QString& archivo, const QString& dsn,
                                               const QString& usuario, const QString& clave)
{
    basedatos::ResumenGenerador resumen;
    {
        QSqlDatabase db;
        if (dsn.isEmpty()) {
            QFile::remove(archivo);
            db = basedatos::abrirSqlite(archivo, QStringLiteral("generar"), true);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("generar"));
            db.setDatabaseName(dsn);
            db.setUserName(usuario);
            db.setPassword(clave);
            if (!db.open())
                throw RuntimeError(ErrorNumber::Database,
                                   QStringLiteral("no se pudo abrir ") + dsn);
            basedatos::vaciarEsquema(db);
        }
        basedatos::crearEsquema(db);
        resumen = basedatos::generar(db, opciones);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("generar"));
    return resumen;
}
