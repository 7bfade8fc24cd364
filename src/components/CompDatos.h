#pragma once

#include "platform/sql/Recordset.h"
#include "platform/sql/SqlDialect.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <memory>

// One entry of the connection's error list.
struct ErrorDatos
{
    int Number = 0;
    QString Description;
    QString Source;
};

// The open connection as the suite's callers see it.
class ConexionDatos
{
public:
    // ADO's isolation levels: 256 read uncommitted, 4096 read committed,
    // 65536 repeatable read, 1048576 serializable. Applied to the backend at
    // once where it has the level (SQLite: read_uncommitted; PostgreSQL reads
    // uncommitted as committed, its lowest level).
    int IsolationLevel() const { return m_isolationLevel; }
    void setIsolationLevel(int nivel);
    // Seconds a statement may run (0: no limit), enforced by the backend.
    int CommandTimeout() const { return m_commandTimeout; }
    void setCommandTimeout(int segundos);
    // The errors of the last operation that failed.
    const QList<ErrorDatos>& Errors() const { return m_errores; }

private:
    friend class CompDatos;
    QSqlDatabase m_db;
    QList<ErrorDatos> m_errores;
    int m_isolationLevel = 4096;
    int m_commandTimeout = 30;
    bool m_limiteEnConexion = false; // the ODBC connection itself carries the limit
    // The limit to give each statement: none when the connection carries it.
    int limitePorSentencia() const { return m_limiteEnConexion ? 0 : m_commandTimeout; }
};

// The database connection of the program and every query it runs.
//
// BaseDatos names either an SQLite database file (an existing file, or a name
// with a folder or ending in .db, .sqlite, .sqlite3 or .db3) or, otherwise, an
// ODBC data source, opened with Usuario and Clave; the data source names its
// server. Statements are written for the suite's server and adapted to the
// connected backend just before they run.
class CompDatos
{
public:
    CompDatos();
    virtual ~CompDatos();
    CompDatos(const CompDatos&) = delete;
    CompDatos& operator=(const CompDatos&) = delete;

    const QString& Servidor() const { return m_servidor; }
    void setServidor(const QString& v) { m_servidor = v; }
    const QString& BaseDatos() const { return m_baseDatos; }
    void setBaseDatos(const QString& v) { m_baseDatos = v; }
    const QString& Usuario() const { return m_usuario; }
    void setUsuario(const QString& v) { m_usuario = v; }
    const QString& Clave() const { return m_clave; }
    void setClave(const QString& v) { m_clave = v; }
    // What the session component keeps of this connection: database and user.
    QString DatoSesion() const;

    // Opens the connection from the properties. The flag, the mode (2 or 3)
    // and the text are the suite's launch details; a connection of this
    // program is the same in every mode. A failure raises a run-time error
    // with the driver's text and leaves the component unconnected.
    virtual void Conectar(bool exclusivo = false, int modo = 2, const QString& texto = {});
    bool Conectado() const;
    void Desconectar();
    ConexionDatos& Conexion() { return m_conexion; }
    SqlBackend Motor() const { return m_motor; }
    // The Qt connection itself, for code that needs the driver.
    QSqlDatabase BaseQt() const { return m_conexion.m_db; }

    std::unique_ptr<Recordset> AbrirRecordset(const QString& sql);
    // The same for a statement whose ORDER BY fixes the order of its rows: on
    // a server they may come a batch at a time, not held whole beforehand.
    std::unique_ptr<Recordset> AbrirRecordsetOrdenado(const QString& sql);
    void CerrarRecordset(std::unique_ptr<Recordset>& rs);
    void Ejecutar(const QString& sql);
    // The column `columna` of the row of `tabla` whose `columnaClave` equals
    // `valor`, as text; the empty text when there is no such row or the value
    // is null. The key value is quoted, never pasted.
    QString BuscarCampo(const QString& tabla, const QString& valor, const QString& columna,
                        const QString& columnaClave, int tipo = 8, const QString& texto = {});

    // What a connection of another thread copies of this one, read on this
    // one's thread: a Qt connection belongs to the thread that opened it.
    struct Ajustes
    {
        bool conectada = false;
        QString servidor, base, usuario, clave;
        int espera = 30;
        int aislamiento = 4096;
    };
    Ajustes AjustesDeConexion() const;
    // A component of the calling thread with those settings (command time-out,
    // isolation level; SQLite's collation and busy wait come with every
    // connection), connected when they say it is. A failure to connect raises
    // as Conectar's does.
    static std::unique_ptr<CompDatos> ConAjustes(const Ajustes& ajustes);

    // Statements sent to the database since the connection opened.
    qint64 SentenciasEmitidas() const { return m_sentencias; }

private:
    [[noreturn]] void fallo(const QString& descripcion, const QString& origen);
    void prepararSentencia();
    std::unique_ptr<Recordset> abrir(const QString& sql, bool porCursor);
    void reconectar();

    QString m_servidor;
    QString m_baseDatos;
    QString m_usuario;
    QString m_clave;
    ConexionDatos m_conexion;
    SqlBackend m_motor = SqlBackend::Other;
    QString m_nombreConexion;
    qint64 m_sentencias = 0;
    // The server ended the connection and opening it again failed: the next
    // statement tries again.
    bool m_perdida = false;
};
