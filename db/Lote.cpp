#include "Lote.h"

#include "BaseDatos.h"
#include "Sentencias.h"
#include "platform/text/RuntimeError.h"

#include <QSqlError>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace basedatos {

namespace {

// Big enough to make round trips negligible, small enough for any server's
// statement size limit.
constexpr qsizetype filasPorSentencia = 1000;

} // namespace

QString literalSql(const QVariant& valor)
{
    if (valor.isNull())
        return u"NULL"_s;
    switch (valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return valor.toString();
    case QMetaType::Double:
        return QString::number(valor.toDouble(), 'g', 15);
    default: {
        QString texto = valor.toString();
        texto.replace(u'\'', u"''"_s);
        return u'\'' + texto + u'\'';
    }
    }
}

Lote::Lote(QSqlDatabase& db, const QString& tabla, const QStringList& columnas)
    : m_db(db), m_tabla(tabla), m_columnas(columnas), m_preparado(motorDe(db) == Motor::SQLite),
      m_consulta(db)
{
    if (m_preparado) {
        QStringList marcas;
        for (qsizetype i = 0; i < m_columnas.size(); ++i)
            marcas << u"?"_s;
        const QString sql = u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
            m_tabla, m_columnas.join(u", "_s), marcas.join(u", "_s));
        if (!m_consulta.prepare(sql))
            fallar(u"preparar la escritura en %1"_s.arg(m_tabla), m_consulta.lastError().text());
    }
}

void Lote::agregar(const QVariantList& valores)
{
    if (valores.size() != m_columnas.size())
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           u"Fila de %1 con %2 valores para %3 columnas"_s.arg(m_tabla)
                               .arg(valores.size())
                               .arg(m_columnas.size()),
                           u"basedatos"_s);
    ++m_filas;
    if (m_preparado) {
        for (qsizetype i = 0; i < valores.size(); ++i)
            m_consulta.bindValue(int(i), valores.at(i));
        ejecutar(m_consulta, u"escribir en %1"_s.arg(m_tabla));
        return;
    }
    QStringList literales;
    literales.reserve(valores.size());
    for (const QVariant& valor : valores)
        literales << literalSql(valor);
    m_pendientes << u'(' + literales.join(u", "_s) + u')';
    if (m_pendientes.size() >= filasPorSentencia)
        escribirPendientes();
}

void Lote::completar()
{
    if (!m_pendientes.isEmpty())
        escribirPendientes();
}

void Lote::escribirPendientes()
{
    const QString sql = u"INSERT INTO %1 (%2) VALUES "_s.arg(m_tabla, m_columnas.join(u", "_s)) +
                        m_pendientes.join(u",\n"_s);
    m_pendientes.clear();
    ejecutar(m_db, sql, u"escribir en %1"_s.arg(m_tabla));
}

} // namespace basedatos
