#include "report/GraficoTotales.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QEvent>
#include <QGraphicsSimpleTextItem>
#include <QHelpEvent>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

GraficoTotales::GraficoTotales(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GraficoTotales"));
    m_grafico = new QChart;
    m_grafico->setAnimationOptions(QChart::NoAnimation);
    m_grafico->setBackgroundRoundness(0);
    m_grafico->setMargins(QMargins(4, 4, 4, 4));
    m_grafico->legend()->setAlignment(Qt::AlignBottom);
    m_vista = new QChartView(m_grafico, this);
    m_vista->setObjectName(QStringLiteral("GraficoInsumos"));
    m_vista->setRenderHint(QPainter::Antialiasing);
    m_vista->setFocusPolicy(Qt::NoFocus);
    m_vista->viewport()->installEventFilter(this);
    m_vista->setAccessibleName(QStringLiteral("Gráfico de kilos por insumo"));
    m_vista->setAccessibleDescription(
        QStringLiteral("Barras de los kilogramos de los insumos más pesados; la parte clara "
                       "descansa en estimaciones con datos faltantes."));
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
    // The labels follow the bars whenever the plot moves: a resize, a new load.
    connect(m_grafico, &QChart::plotAreaChanged, this, [this] { ubicarEtiquetas(); });
    aplicarLetra();
}

bool GraficoTotales::eventFilter(QObject* objeto, QEvent* evento)
{
    // The view asks its scene for a tooltip after a pause, finds none on the
    // bars and would hide the material's: the bar under the mouse answers.
    if (objeto == m_vista->viewport() && evento->type() == QEvent::ToolTip && m_barraEncima >= 0) {
        QToolTip::showText(static_cast<QHelpEvent*>(evento)->globalPos(), Ayuda(m_barraEncima),
                           m_vista);
        return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

void GraficoTotales::changeEvent(QEvent* evento)
{
    QWidget::changeEvent(evento);
    if (evento->type() == QEvent::FontChange)
        aplicarLetra();
}

void GraficoTotales::aplicarLetra()
{
    // A chart keeps fonts of its own; it follows the window's instead.
    m_grafico->legend()->setFont(font());
    for (QAbstractAxis* eje : m_grafico->axes())
        eje->setLabelsFont(font());
    for (QGraphicsSimpleTextItem* etiqueta : m_etiquetas)
        etiqueta->setFont(font());
    ubicarEtiquetas();
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

void GraficoTotales::Mostrar(const GridModel& totales)
{
    qDeleteAll(m_etiquetas);
    m_etiquetas.clear();
    m_grafico->removeAllSeries();
    for (QAbstractAxis* eje : m_grafico->axes()) {
        m_grafico->removeAxis(eje);
        delete eje;
    }
    m_barraEncima = -1;
    m_datos = GraficoInsumos::DeLosTotales(totales);
    if (!m_datos) {
        m_lectura->clear();
        return;
    }
    const auto& barras = m_datos->barras;
    const int n = int(barras.size());
    auto* completo = new QBarSet(GraficoInsumos::LeyendaCompleto());
    auto* faltante = new QBarSet(GraficoInsumos::LeyendaFaltante());
    completo->setColor(QColor(QRgb(GraficoInsumos::ColorCompleto)));
    faltante->setColor(QColor(QRgb(GraficoInsumos::ColorFaltante)));
    completo->setBorderColor(completo->color());
    faltante->setBorderColor(completo->color());
    QStringList categorias;
    double mayor = 0;
    // A horizontal chart draws its first category at the bottom: the
    // heaviest goes last so that it sits on top.
    for (int i = n - 1; i >= 0; --i) {
        const GraficoInsumos::Barra& b = barras[size_t(i)];
        *completo << std::max(0.0, b.kilosCompletos());
        *faltante << std::max(0.0, b.kilosIncompletos);
        categorias << b.codigo;
        mayor = std::max(mayor, b.kilos);
    }
    // The uncertain part from the axis, as the workbook's chart draws it.
    auto* serie = new QHorizontalStackedBarSeries;
    serie->append(faltante);
    serie->append(completo);
    serie->setBarWidth(0.7);
    m_grafico->addSeries(serie);
    auto* ejeInsumos = new QBarCategoryAxis;
    ejeInsumos->append(categorias);
    auto* ejeKilos = new QValueAxis;
    // Room on the right for the heaviest bar's label.
    ejeKilos->setRange(0, mayor > 0 ? mayor * 1.5 : 1);
    // The axis writes numbers as C does; the bars' labels say the figures in
    // the operator's format instead.
    ejeKilos->setLabelsVisible(false);
    m_grafico->addAxis(ejeInsumos, Qt::AlignLeft);
    m_grafico->addAxis(ejeKilos, Qt::AlignBottom);
    serie->attachAxis(ejeInsumos);
    serie->attachAxis(ejeKilos);
    connect(serie, &QAbstractBarSeries::hovered, this, [this, n](bool encima, int indice) {
        m_barraEncima = encima ? n - 1 - indice : -1;
        if (encima)
            QToolTip::showText(QCursor::pos(), Ayuda(m_barraEncima), m_vista);
        else
            QToolTip::hideText();
    });
    connect(serie, &QAbstractBarSeries::doubleClicked, this, [this, n](int indice) {
        const int barra = n - 1 - indice;
        if (m_datos && barra >= 0 && barra < int(m_datos->barras.size()) &&
            !m_datos->barras[size_t(barra)].otros())
            emit insumoElegido(m_datos->barras[size_t(barra)].fila);
    });
    for (const GraficoInsumos::Barra& b : barras) {
        // The note on the missing figures under the kilograms: the bars are
        // tall enough for two lines, seldom wide enough for one.
        auto* etiqueta = new QGraphicsSimpleTextItem(
            b.Etiqueta().replace(QStringLiteral(" ("), QStringLiteral("\n(")), m_grafico);
        etiqueta->setZValue(10);
        m_etiquetas << etiqueta;
    }
    QStringList lectura;
    for (const QString& parte : {m_datos->Participacion(), m_datos->Faltantes()})
        if (!parte.isEmpty())
            lectura << parte;
    m_lectura->setText(lectura.join(QStringLiteral(" · ")));
    aplicarLetra();
}

void GraficoTotales::ubicarEtiquetas()
{
    if (!m_datos || m_grafico->series().isEmpty())
        return;
    QAbstractSeries* serie = m_grafico->series().first();
    const int n = int(m_datos->barras.size());
    const QRectF area = m_grafico->plotArea();
    // The kilograms' axis reaches as far as every label needs after its bar.
    const auto ejes = m_grafico->axes(Qt::Horizontal);
    auto* ejeKilos = ejes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(ejes.first());
    if (ejeKilos && area.width() > 0) {
        double alcance = 0;
        for (int i = 0; i < n && i < m_etiquetas.size(); ++i) {
            const double libre = 1 - (m_etiquetas[i]->boundingRect().width() + 8) / area.width();
            alcance = std::max(alcance, m_datos->barras[size_t(i)].kilos / std::max(0.3, libre));
        }
        if (alcance > 0 && std::abs(alcance - ejeKilos->max()) > ejeKilos->max() * 0.01)
            ejeKilos->setRange(0, alcance);
    }
    for (int i = 0; i < n && i < m_etiquetas.size(); ++i) {
        QGraphicsSimpleTextItem* etiqueta = m_etiquetas[i];
        const QPointF fin =
            m_grafico->mapToPosition(QPointF(m_datos->barras[size_t(i)].kilos, n - 1 - i), serie);
        const QRectF caja = etiqueta->boundingRect();
        // After the bar's end; kept inside the plot when the bar fills it.
        const qreal x = std::min(fin.x() + 4, area.right() - caja.width());
        etiqueta->setPos(x, fin.y() - caja.height() / 2);
        etiqueta->setVisible(area.height() / std::max(1, n) >= caja.height() * 0.5);
    }
}
