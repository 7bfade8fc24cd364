#include "Sentencias.h"

#include "platform/text/RuntimeError.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace basedatos {

namespace {

// Enough of a failing statement to recognise it in a one-line message.
QString resumen(const QString& sql)
{
    QString texto = sql.simplified();
    if (texto.size() > 100)
        texto = texto.left(100) + u"…"_s;
    return texto;
}

} // namespace

void fallar(const QString& que, const QString& textoDriver)
{
    throw RuntimeError(ErrorNumber::Database,
                       u"No se pudo %1: %2"_s.arg(que, textoDriver.trimmed()), u"basedatos"_s);
}

void ejecutar(QSqlDatabase& db, const QString& sql, const QString& que)
{
    QSqlQuery consulta(db);
    consulta.setForwardOnly(true);
    if (!consulta.exec(sql))
        fallar(u"%1 [%2]"_s.arg(que, resumen(sql)), consulta.lastError().text());
}

void ejecutar(QSqlQuery& consulta, const QString& que)
{
    if (!consulta.exec())
        fallar(que, consulta.lastError().text());
}

QVariant valorUnico(QSqlDatabase& db, const QString& sql, const QString& que)
{
    QSqlQuery consulta(db);
    consulta.setForwardOnly(true);
    if (!consulta.exec(sql))
        fallar(u"%1 [%2]"_s.arg(que, resumen(sql)), consulta.lastError().text());
    return consulta.next() ? consulta.value(0) : QVariant();
}

QStringList separarSentencias(const QString& guion)
{
    QStringList sentencias;
    QString actual;
    bool enComillas = false;
    for (qsizetype i = 0; i < guion.size(); ++i) {
        const QChar c = guion.at(i);
        if (enComillas) {
            actual += c;
            if (c == u'\'')
                enComillas = false; // a doubled quote reopens at once
            continue;
        }
        if (c == u'\'') {
            enComillas = true;
            actual += c;
        } else if (c == u'-' && i + 1 < guion.size() && guion.at(i + 1) == u'-') {
            while (i < guion.size() && guion.at(i) != u'\n')
                ++i;
            actual += u'\n';
        } else if (c == u';') {
            if (!actual.trimmed().isEmpty())
                sentencias << actual.trimmed();
            actual.clear();
        } else {
            actual += c;
        }
    }
    if (!actual.trimmed().isEmpty())
        sentencias << actual.trimmed();
    return sentencias;
}

void ejecutarGuion(QSqlDatabase& db, const QString& recurso, const QString& que)
{
    QFile archivo(recurso);
    if (!archivo.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::FileNotFound,
                           u"No se pudo %1: falta el guion %2 en el programa"_s.arg(que, recurso),
                           u"basedatos"_s);
    const QString guion = QString::fromUtf8(archivo.readAll());
    for (const QString& sentencia : separarSentencias(guion))
        ejecutar(db, sentencia, que);
}

Transaccion::Transaccion(QSqlDatabase& db, const QString& que) : m_db(db), m_que(que)
{
    if (!m_db.transaction())
        fallar(u"iniciar la transacción para %1"_s.arg(m_que), m_db.lastError().text());
}

Transaccion::~Transaccion()
{
    if (m_abierta)
        m_db.rollback();
}

void Transaccion::confirmar()
{
    if (!m_db.commit())
        fallar(u"confirmar la transacción para %1"_s.arg(m_que), m_db.lastError().text());
    m_abierta = false;
}

} // namespace basedatos
