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

constexpr qreal Margen = 6;
constexpr qreal Separacion = 6; // between a name and its bar, a bar and its label
constexpr qreal Muestra = 10;   // the legend's colour squares

// A bar's label on one or two lines: the note on the missing figures goes
// under the kilograms when the bars are tall enough for two lines.
QString etiquetaDe(const GraficoInsumos::Barra& barra, bool dosLineas)
{
    QString texto = barra.Etiqueta();
    return dosLineas ? texto.replace(QStringLiteral(" ("), QStringLiteral("\n(")) : texto;
}

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
    m_barraEncima = -1;
    m_datos = GraficoInsumos::DeLosTotales(totales);
    QStringList lectura;
    if (m_datos)
        for (const QString& parte : {m_datos->Participacion(), m_datos->Faltantes()})
            if (!parte.isEmpty())
                lectura << parte;
    m_lectura->setText(lectura.join(QStringLiteral(" · ")));
    m_vista->update();
}

GraficoTotales::Trazado GraficoTotales::trazar() const
{
    Trazado t;
    if (!m_datos || m_datos->barras.empty())
        return t;
    const QFontMetricsF letra(m_vista->font());
    const QRectF todo = QRectF(m_vista->rect()).adjusted(Margen, Margen, -Margen, -Margen);
    const auto& barras = m_datos->barras;
    const int n = int(barras.size());

    // The legend: both entries on one line when they fit, else one under the other.
    const qreal entrada1 = Muestra + 4 + letra.horizontalAdvance(GraficoInsumos::LeyendaCompleto());
    const qreal entrada2 = Muestra + 4 + letra.horizontalAdvance(GraficoInsumos::LeyendaFaltante());
    const bool unaLinea = entrada1 + 16 + entrada2 <= todo.width();
    const qreal altoLeyenda = letra.height() * (unaLinea ? 1 : 2) + 4;
    t.leyenda = QRectF(todo.left(), todo.bottom() - altoLeyenda, todo.width(), altoLeyenda);

    const qreal alto = std::max<qreal>(0, todo.height() - altoLeyenda - 4);
    const qreal banda = alto / n;
    t.dosLineas = banda >= letra.height() * 2;
    t.conEtiquetas = banda >= letra.height() * 0.5;

    // The materials' names take what they need, up to a third of the width.
    qreal nombres = 0, etiquetas = 0;
    for (const GraficoInsumos::Barra& b : barras) {
        nombres = std::max(nombres, letra.horizontalAdvance(b.codigo));
        if (t.conEtiquetas)
            etiquetas = std::max(etiquetas, letra.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft,
                                                               etiquetaDe(b, t.dosLineas))
                                                .width());
    }
    t.nombres = std::min(std::ceil(nombres), std::floor(todo.width() / 3));
    // The labels' room stays off the bars, so every bar keeps the same scale.
    etiquetas = std::min(std::ceil(etiquetas), std::floor(todo.width() / 3));
    t.area = QRectF(todo.left() + t.nombres + Separacion, todo.top(),
                    std::max<qreal>(1, todo.width() - t.nombres - etiquetas - 2 * Separacion), alto);

    const double mayor = std::max_element(barras.begin(), barras.end(), [](const auto& a, const auto& b) {
                             return a.kilos < b.kilos;
                         })->kilos;
    for (int i = 0; i < n; ++i) {
        const double kilos = std::max(0.0, barras[size_t(i)].kilos);
        const qreal largo = mayor > 0 ? std::round(t.area.width() * kilos / mayor) : 0;
        const qreal y = std::round(t.area.top() + banda * i + banda * 0.15);
        const QRectF barra(t.area.left(), y, largo, std::max<qreal>(1, std::round(banda * 0.7)));
        t.barras.push_back(barra);
        t.etiquetas.emplace_back(barra.right() + Separacion, t.area.top() + banda * i, etiquetas,
                                 banda);
    }
    return t;
}

QRectF GraficoTotales::AreaBarras() const
{
    return trazar().area;
}

QRectF GraficoTotales::RectBarra(int barra) const
{
    const Trazado t = trazar();
    return barra >= 0 && barra < int(t.barras.size()) ? t.barras[size_t(barra)] : QRectF();
}

int GraficoTotales::barraEn(QPointF punto) const
{
    const Trazado t = trazar();
    for (int i = 0; i < int(t.barras.size()); ++i) {
        // The whole band of a bar answers, so a short bar can be reached too.
        const QRectF& b = t.barras[size_t(i)];
        if (QRectF(t.area.left() - t.nombres, b.top(), t.area.width() + t.nombres, b.height())
                .contains(punto))
            return i;
    }
    return -1;
}

void GraficoTotales::pintar()
{
    QPainter p(m_vista);
    const Trazado t = trazar();
    if (t.barras.empty())
        return;
    const QColor completo = QColor(QRgb(GraficoInsumos::ColorCompleto));
    const QColor faltante = QColor(QRgb(GraficoInsumos::ColorFaltante));
    const QPalette& paleta = m_vista->palette();
    p.setPen(paleta.color(QPalette::Text));
    const QFontMetricsF letra(m_vista->font());
    const auto& barras = m_datos->barras;
    for (size_t i = 0; i < barras.size(); ++i) {
        const GraficoInsumos::Barra& b = barras[i];
        const QRectF& barra = t.barras[i];
        const QRectF nombre(t.area.left() - Separacion - t.nombres, barra.top(), t.nombres,
                            barra.height());
        p.drawText(nombre, Qt::AlignRight | Qt::AlignVCenter,
                   letra.elidedText(b.codigo, Qt::ElideRight, t.nombres));
        // The uncertain part from the axis, as the workbook's chart draws it.
        const double kilos = std::max(0.0, b.kilos);
        const qreal claro =
            kilos > 0 ? std::round(barra.width() * std::clamp(b.kilosIncompletos / kilos, 0.0, 1.0)) : 0;
        p.fillRect(QRectF(barra.left(), barra.top(), claro, barra.height()), faltante);
        p.fillRect(QRectF(barra.left() + claro, barra.top(), barra.width() - claro, barra.height()),
                   completo);
        if (t.conEtiquetas)
            p.drawText(t.etiquetas[i], Qt::AlignLeft | Qt::AlignVCenter,
                       etiquetaDe(b, t.dosLineas));
    }
    p.setPen(paleta.color(QPalette::Mid));
    p.drawLine(t.area.topLeft(), t.area.bottomLeft());

    p.setPen(paleta.color(QPalette::Text));
    QPointF en = t.leyenda.topLeft();
    for (const auto& [color, texto] : {std::pair{completo, GraficoInsumos::LeyendaCompleto()},
                                       std::pair{faltante, GraficoInsumos::LeyendaFaltante()}}) {
        const qreal ancho = Muestra + 4 + letra.horizontalAdvance(texto);
        if (en.x() > t.leyenda.left() && en.x() + ancho > t.leyenda.right())
            en = QPointF(t.leyenda.left(), en.y() + letra.height());
        p.fillRect(QRectF(en.x(), en.y() + (letra.height() - Muestra) / 2, Muestra, Muestra), color);
        p.drawText(QRectF(en.x() + Muestra + 4, en.y(), ancho, letra.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, texto);
        en.rx() += ancho + 16;
    }
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
