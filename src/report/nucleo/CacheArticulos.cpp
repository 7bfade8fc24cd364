#include "report/nucleo/CacheArticulos.h"

QList<QStringView> FilasInsumos::codigos() const
{
    QList<QStringView> codigos;
    qsizetype desde = 0;
    for (const InsumoArticulo& s : filas) {
        codigos.append(QStringView(textos).mid(desde, s.largos[0]));
        for (const quint32 largo : s.largos)
            desde += largo;
    }
    return codigos;
}

void FilasInsumos::ajustar()
{
    filas.shrink_to_fit();
    textos.squeeze();
}

void CacheArticulos::vaciar()
{
    m_articulos.clear();
    m_adelantados.clear();
}

void CacheArticulos::adelantada(const QString& articulo)
{
    ++m_adelantados[articulo];
}

const CacheArticulos::Articulo* CacheArticulos::buscar(const QString& articulo) const
{
    const auto it = m_articulos.constFind(articulo);
    return it == m_articulos.cend() ? nullptr : &it->articulo;
}

const CacheArticulos::Articulo& CacheArticulos::guardar(const QString& articulo, Articulo conocido)
{
    return m_articulos.insert(articulo, Entrada{std::move(conocido)})->articulo;
}

const CacheArticulos::Articulo&
CacheArticulos::guardarInsumos(const QString& articulo, std::shared_ptr<const FilasInsumos> insumos)
{
    Entrada& entrada = m_articulos[articulo];
    entrada.articulo.insumos = std::move(insumos);
    return entrada.articulo;
}

void CacheArticulos::reservar(qsizetype mas)
{
    m_articulos.reserve(m_articulos.size() + mas);
}

void CacheArticulos::escrita(const QString& articulo)
{
    const auto adelantado = m_adelantados.find(articulo);
    const bool nombrado = adelantado != m_adelantados.end() && --*adelantado > 0;
    if (adelantado != m_adelantados.end() && !nombrado)
        m_adelantados.erase(adelantado);
    const auto conocido = m_articulos.find(articulo);
    if (conocido != m_articulos.end() && ++conocido->lineas == 1 && !nombrado)
        m_articulos.erase(conocido);
}
