#include "report/GraficoTotales.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString SinBarras = QStringLiteral("Sin barras: no hay totales por insumo.");
} // namespace

GraficoTotales::GraficoTotales(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GraficoTotales"));
    m_vista = new QWidget(this);
    m_vista->setObjectName(QStringLiteral("GraficoInsumos"));
    m_vista->setMouseTracking(true);
    m_vista->setFocusPolicy(Qt::NoFocus);
    m_vista->setAutoFillBackground(true);
    m_vista->setBackgroundRole(QPalette::Base);
    m_vista->setMinimumSize(200, 120);
    m_vista->installEventFilter(this);
    m_vista->setAccessibleName(QStringLiteral("Gráfico de kilos por insumo"));
    m_vista->setAccessibleDescription(SinBarras);
    m_lectura = new QLabel(this);
    m_lectura->setObjectName(QStringLiteral("LblLecturaTotales"));
    m_lectura->setWordWrap(true);
    m_lectura->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lectura->setAccessibleName(QStringLiteral("Lectura del gráfico"));
    auto* capas = new QVBoxLayout(this);
    capas->setContentsMargins(0, 0, 0, 0);
    capas->setSpacing(2);
    capas->addWidget(m_vista, 1);
    capas->addWidget(m_lectura);
}

QString GraficoTotales::Ayuda(int barra) const
{
    if (!m_datos || barra < 0 || barra >= int(m_datos->barras.size()))
        return {};
    const GraficoInsumos::Barra& b = m_datos->barras[size_t(barra)];
    using GraficoInsumos::Cifra;
    QString texto = b.otros() ? b.codigo : b.codigo + u" — " + b.descripcion;
    texto += u'\n' + b.Etiqueta();
    if (b.kilosIncompletos > 0)
        texto += QStringLiteral(" (%1 kg %2)")
                     .arg(Cifra(b.kilosIncompletos, 2), GraficoInsumos::LeyendaFaltante());
    if (!b.otros())
        texto += QStringLiteral("\n%1 %2, %3 %4")
                     .arg(Cifra(b.lineas, 0),
                          b.lineas == 1 ? QStringLiteral("línea") : QStringLiteral("líneas"),
                          Cifra(b.ordenes, 0),
                          b.ordenes == 1 ? QStringLiteral("orden") : QStringLiteral("órdenes"));
    else
        texto += QStringLiteral("\nDoble clic en un insumo de la grilla para ver sus órdenes.");
    return texto;
}

void GraficoTotales::Mostrar(std::optional<GraficoInsumos::Grafico> datos)
{
    m_barraEncima = -1;
    m_datos = std::move(datos);
    QStringList lectura;
    if (m_datos)
        for (const QString& parte : {m_datos->Participacion(), m_datos->Faltantes()})
            if (!parte.isEmpty())
                lectura << parte;
    m_lectura->setText(lectura.join(QStringLiteral(" · ")));
    // What the picture shows, for whoever cannot see it: each bar's figures.
    QStringList barras;
    if (m_datos)
        for (const GraficoInsumos::Barra& b : m_datos->barras)
            barras << (b.otros() ? b.codigo : b.codigo + u" " + b.descripcion) + u": " +
                          b.Etiqueta();
    m_vista->setAccessibleDescription(barras.isEmpty() ? SinBarras
                                                       : barras.join(QStringLiteral("; ")) + u'.');
    m_lectura->setAccessibleDescription(m_lectura->text());
    m_vista->update();
}

BarChartDrawing GraficoTotales::dibujo() const
{
    BarChartDrawing d;
    if (!m_datos)
        return d;
    d.series = {{GraficoInsumos::LeyendaCompleto(), QRgb(GraficoInsumos::ColorCompleto)},
                {GraficoInsumos::LeyendaFaltante(), QRgb(GraficoInsumos::ColorFaltante)}};
    d.figure = [](double kilos) { return GraficoInsumos::Cifra(kilos, 0); };
    for (const GraficoInsumos::Barra& b : m_datos->barras) {
        // The note on the missing figures goes under the kilograms where
        // the bars are tall enough for two lines.
        QString etiqueta = b.Etiqueta();
        d.bars.push_back({b.codigo,
                          b.descripcion,
                          {std::max(0.0, b.kilos), b.kilosIncompletos},
                          etiqueta.replace(QStringLiteral(" ("), QStringLiteral("\n("))});
    }
    return d;
}

BarChartDrawing::Layout GraficoTotales::trazar() const
{
    constexpr qreal Margen = 6;
    return dibujo().layout(QRectF(m_vista->rect()).adjusted(Margen, Margen, -Margen, -Margen),
                           m_vista->font(), m_vista);
}

QRectF GraficoTotales::AreaBarras() const
{
    return trazar().plot;
}

QRectF GraficoTotales::RectBarra(int barra) const
{
    const BarChartDrawing::Layout t = trazar();
    return barra >= 0 && barra < int(t.bars.size()) ? t.bars[size_t(barra)] : QRectF();
}

int GraficoTotales::barraEn(QPointF punto) const
{
    // The whole band of a bar answers, its name too, so a short bar can be reached.
    const BarChartDrawing::Layout t = trazar();
    for (int i = 0; i < int(t.bands.size()); ++i)
        if (t.bands[size_t(i)].contains(punto))
            return i;
    return -1;
}

void GraficoTotales::pintar()
{
    QPainter p(m_vista);
    const QPalette& paleta = m_vista->palette();
    dibujo().paint(p, trazar(), paleta.color(QPalette::Text), paleta.color(QPalette::Mid));
}

bool GraficoTotales::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto != m_vista)
        return QWidget::eventFilter(objeto, evento);
    switch (evento->type()) {
    case QEvent::Paint:
        pintar();
        return true;
    case QEvent::MouseMove: {
        const int barra = barraEn(static_cast<QMouseEvent*>(evento)->position());
        if (barra != m_barraEncima) {
            m_barraEncima = barra;
            if (barra >= 0)
                QToolTip::showText(static_cast<QMouseEvent*>(evento)->globalPosition().toPoint(),
                                   Ayuda(barra), m_vista);
            else
                QToolTip::hideText();
        }
        break;
    }
    case QEvent::Leave:
        m_barraEncima = -1;
        break;
    case QEvent::ToolTip: {
        const auto* ayuda = static_cast<QHelpEvent*>(evento);
        const int barra = barraEn(ayuda->pos());
        if (barra >= 0)
            QToolTip::showText(ayuda->globalPos(), Ayuda(barra), m_vista);
        else
            QToolTip::hideText();
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        const int barra = barraEn(static_cast<QMouseEvent*>(evento)->position());
        if (m_datos && barra >= 0 && !m_datos->barras[size_t(barra)].otros())
            emit insumoElegido(m_datos->barras[size_t(barra)].fila);
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(objeto, evento);
}
