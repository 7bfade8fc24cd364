#include "report/RP_OProduccion.h"

#include "components/Atender.h"
#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "components/TrabajoEnHilo.h"
#include "export/ModExportarExcel.h"
#include "platform/controls/GridView.h"
#include "platform/controls/TabBar.h"
#include "platform/controls/Twips.h"
#include "platform/files/OwnSettings.h"
#include "platform/files/ProgramFolder.h"
#include "report/GraficoTotales.h"
#include "report/nucleo/ResumenCarga.h"
#include "report/nucleo/TotalesInsumo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <optional>

// The window's controls as designed: their places, names, captions, what
// assistive technology reads of them, and the order Tab takes them in.

namespace {

// Calls back whenever the watched widget changes size.
class AlCambiarTamano : public QObject
{
public:
    AlCambiarTamano(QObject* padre, std::function<void()> accion)
        : QObject(padre), m_accion(std::move(accion))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* evento) override
    {
        if (evento->type() == QEvent::Resize)
            m_accion();
        return false;
    }

private:
    std::function<void()> m_accion;
};

} // namespace

namespace {

template <class Control>
Control* ubicar(Control* control, const QString& nombre, int indice, int left, int top, int width,
                int height)
{
    control->setObjectName(nombre);
    if (indice >= 0)
        control->setProperty("Index", indice);
    control->setGeometry(rectFromTwips(left, top, width, height));
    return control;
}

// The filter boxes are designed as wide as their characters in the suite's
// font. Qt keeps a margin inside the frame that the text may use instead, and
// where the desktop's font is wider still, the box's letter shrinks a little:
// otherwise the first digit scrolls out of sight.
void mostrarEntero(QLineEdit* caja, const QString& muestra)
{
    caja->setTextMargins(-2, 0, -2, 0);
    QStyleOptionFrame opcion;
    opcion.initFrom(caja);
    opcion.rect = caja->rect();
    opcion.lineWidth = caja->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opcion, caja);
    const int lugar =
        caja->style()->subElementRect(QStyle::SE_LineEditContents, &opcion, caja).width();
    QFont letra = caja->font();
    // Two pixels more: the cursor after the last character must fit too.
    while (QFontMetrics(letra).horizontalAdvance(muestra) + 2 > lugar) {
        const int pixeles = QFontInfo(letra).pixelSize();
        if (pixeles <= 7)
            break;
        letra.setPixelSize(pixeles - 1);
    }
    caja->setFont(letra);
}

} // namespace

void RP_OProduccion::crearControles()
{
    auto caja = [this](QWidget* marco, int indice, const QString& clave, const QString& tipo,
                       int left, int top, int width, int height) {
        auto* c = ubicar(new QLineEdit(marco), QStringLiteral("txtFields"), indice, left, top,
                         width, height);
        CompTeclado::Configurar(c, clave, tipo);
        mostrarEntero(c, tipo == QLatin1String("fecha")
                             ? QStringLiteral("00/00/0000")
                             : QString(c->maxLength(), QLatin1Char('0')));
        Componentes::Teclado().Atender(c);
        txtFields.add(indice, c);
    };
    auto etiqueta = [](QWidget* marco, const QString& nombre, int indice, const QString& texto,
                       int left, int top, int width, int height) {
        auto* l = ubicar(new QLabel(texto, marco), nombre, indice, left, top, width, height);
        return l;
    };
    const QString comprobantes = QStringLiteral("COMPROBANTES");
    const QString fecha = QStringLiteral("fecha");

    // The designed filters and buttons keep their places in a band that
    // scrolls sideways where the window is narrower than the design (a large
    // scale on a small screen), so the window always fits its screen and the
    // grid takes the width there is.
    AreaFiltros = new QScrollArea(this);
    AreaFiltros->setObjectName(QStringLiteral("AreaFiltros"));
    AreaFiltros->setFrameShape(QFrame::NoFrame);
    AreaFiltros->setFocusPolicy(Qt::NoFocus);
    AreaFiltros->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AreaFiltros->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    AreaFiltros->setAccessibleName(QStringLiteral("Filtros"));
    auto* banda = new QWidget;
    banda->setObjectName(QStringLiteral("PanelFiltros"));

    FrmTipo = ubicar(new QGroupBox(QStringLiteral("Nº de Orden de Producción"), banda),
                     QStringLiteral("FrmTipo"), 0, 0, 0, 5415, 615);
    Label1.add(0, etiqueta(FrmTipo, QStringLiteral("Label1"), 0, QStringLiteral("Desde:"), 120, 240,
                           615, 255));
    caja(FrmTipo, 0, QStringLiteral("Sucursal_desde"), comprobantes, 840, 240, 495, 285);
    caja(FrmTipo, 1, QStringLiteral("Nro_desde"), comprobantes, 1380, 240, 855, 285);
    caja(FrmTipo, 2, QStringLiteral("Letra_Desde"), comprobantes, 2280, 240, 255, 285);
    Label2.add(0, etiqueta(FrmTipo, QStringLiteral("Label2"), 0, QStringLiteral("Hasta:"), 2880,
                           240, 615, 255));
    caja(FrmTipo, 3, QStringLiteral("Sucursal_Hasta"), comprobantes, 3480, 240, 495, 285);
    caja(FrmTipo, 4, QStringLiteral("Nro_Hasta"), comprobantes, 4020, 240, 855, 285);
    caja(FrmTipo, 5, QStringLiteral("Letra_Hasta"), comprobantes, 4920, 240, 255, 285);

    auto* fechas = ubicar(new QGroupBox(QStringLiteral("Fecha"), banda), QStringLiteral("Frame1"),
                          2, 5520, 0, 5415, 615);
    Frame1.add(2, fechas);
    Label1.add(2, etiqueta(fechas, QStringLiteral("Label1"), 2, QStringLiteral("Desde:"), 120, 240,
                           1575, 255));
    caja(fechas, 8, QStringLiteral("Fecha_desde"), fecha, 840, 240, 1095, 285);
    Label2.add(2, etiqueta(fechas, QStringLiteral("Label2"), 2, QStringLiteral("Hasta:"), 2880, 240,
                           615, 255));
    caja(fechas, 9, QStringLiteral("Fecha_hasta"), fecha, 3480, 240, 1215, 285);

    Frame2 = ubicar(new QGroupBox(QStringLiteral("Estado"), banda), QStringLiteral("Frame2"), -1, 0,
                    600, 1695, 855);
    ChkEstado.add(0, ubicar(new QCheckBox(QStringLiteral("&Pendientes"), Frame2),
                            QStringLiteral("ChkEstado"), 0, 120, 240, 1455, 255));
    ChkEstado.add(1, ubicar(new QCheckBox(QStringLiteral("&Finalizada"), Frame2),
                            QStringLiteral("ChkEstado"), 1, 120, 480, 1455, 255));

    auto* orden = ubicar(new QGroupBox(QStringLiteral("Orden"), banda), QStringLiteral("Frame1"), 3,
                         1800, 600, 1695, 855);
    Frame1.add(3, orden);
    OptOrden.add(0, ubicar(new QRadioButton(QStringLiteral("&Fecha"), orden),
                           QStringLiteral("OptOrden"), 0, 120, 240, 975, 255));
    OptOrden.add(1, ubicar(new QRadioButton(QStringLiteral("&Numero"), orden),
                           QStringLiteral("OptOrden"), 1, 120, 480, 1095, 255));
    OptOrden.at(0)->setProperty("Tag", QStringLiteral("{V_MV_Cpte.Fecha}"));
    OptOrden.at(1)->setProperty("Tag", QStringLiteral("{V_MV_Cpte.IdComprobante}"));
    OptOrden.at(0)->setChecked(true);

    auto* tipo = ubicar(new QGroupBox(QStringLiteral("Tipo"), banda), QStringLiteral("Frame1"), 4,
                        11040, 0, 1695, 615);
    Frame1.add(4, tipo);
    OptTipo.add(2, ubicar(new QRadioButton(QStringLiteral("Estimativo"), tipo),
                          QStringLiteral("OptTipo"), 2, 120, 240, 1215, 195));
    OptTipo.add(0, ubicar(new QRadioButton(QStringLiteral("&Resumido"), tipo),
                          QStringLiteral("OptTipo"), 0, 120, 240, 1335, 255));
    OptTipo.add(1, ubicar(new QRadioButton(QStringLiteral("&Detallado"), tipo),
                          QStringLiteral("OptTipo"), 1, 120, 555, 1335, 255));
    OptTipo.at(2)->setChecked(true);
    // Kept for the suite's callers, never offered: nothing to reach.
    for (const int i : {0, 1}) {
        OptTipo.at(i)->hide();
        OptTipo.at(i)->setFocusPolicy(Qt::NoFocus);
    }

    CmdCargar = ubicar(new QPushButton(QStringLiteral("Cargar"), banda),
                       QStringLiteral("CmdCargar"), -1, 3720, 720, 1575, 735);
    CmdExcel = ubicar(new QPushButton(QStringLiteral("Exportar Excel"), banda),
                      QStringLiteral("CmdExcel"), -1, 5520, 720, 1575, 735);
    CmdSalir = ubicar(new QPushButton(QStringLiteral("Salir"), banda), QStringLiteral("CmdSalir"),
                      -1, 7320, 720, 1575, 735);
    banda->resize(banda->childrenRect().bottomRight().x() + 8,
                  banda->childrenRect().bottomRight().y() + 1);
    AreaFiltros->setWidget(banda);
    AreaFiltros->setGeometry(0, 0, banda->width(), banda->height());
    connect(CmdCargar, &QPushButton::clicked, this,
            [this] { atender([this] { CmdCargar_Click(); }); });
    connect(CmdExcel, &QPushButton::clicked, this,
            [this] { atender([this] { CmdExcel_Click(); }); });
    connect(CmdSalir, &QPushButton::clicked, this,
            [this] { atender([this] { CmdSalir_Click(); }); });

    MSFlexGrid1Vista = ubicar(new GridView(&MSFlexGrid1, this), QStringLiteral("MSFlexGrid1"), -1,
                              120, 2160, 16455, 6735);
    MSFlexGrid1Vista->horizontalHeader()->viewport()->installEventFilter(this);
    // The free width right of the designed columns goes to the last one.
    MSFlexGrid1Vista->setLastColumnFills(true);

    // Below the grid, in the band the resize rule leaves under it, so the
    // grid keeps its designed height.
    LblEstado = new QLabel(this);
    LblEstado->setObjectName(QStringLiteral("LblEstado"));
    LblEstado->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LblEstado->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LblEstado->hide();

    PanelTotales = new QSplitter(Qt::Horizontal, this);
    PanelTotales->setObjectName(QStringLiteral("PanelTotales"));
    PanelTotales->setChildrenCollapsible(false);
    MSFlexGridTotalesVista = new GridView(&MSFlexGridTotales, PanelTotales);
    MSFlexGridTotalesVista->setObjectName(QStringLiteral("MSFlexGridTotales"));
    GrfTotales = new GraficoTotales(PanelTotales);
    PanelTotales->setStretchFactor(0, 1);
    PanelTotales->setStretchFactor(1, 1);
    PanelTotales->hide();
    // The totals table is the program's own, not a designed layout: its
    // figures are never cut, the description takes what they leave.
    connect(&MSFlexGridTotales, &QAbstractItemModel::modelReset, this,
            [this] { ajustarColumnasTotales(); });
    MSFlexGridTotalesVista->viewport()->installEventFilter(
        new AlCambiarTamano(MSFlexGridTotalesVista, [this] { ajustarColumnasTotales(); }));
    // Enter or a double click on a material, or a double click on its bar.
    connect(MSFlexGridTotalesVista, &QAbstractItemView::activated, this,
            [this](const QModelIndex& celda) {
                atender([&] { FiltrarPorInsumo(celda.row() + MSFlexGridTotales.fixedRows()); });
            });
    connect(GrfTotales, &GraficoTotales::insumoElegido, this,
            [this](int fila) { atender([&] { FiltrarPorInsumo(fila); }); });
    LblFiltroInsumo = new QLabel(this);
    LblFiltroInsumo->setObjectName(QStringLiteral("LblFiltroInsumo"));
    LblFiltroInsumo->hide();
    MSFlexGridFiltradaVista = new GridView(&m_grillaFiltrada, this);
    MSFlexGridFiltradaVista->setObjectName(QStringLiteral("MSFlexGridFiltrada"));
    MSFlexGridFiltradaVista->setLastColumnFills(true);
    MSFlexGridFiltradaVista->setAccessibleName(QStringLiteral("Órdenes que usan el insumo"));
    MSFlexGridFiltradaVista->hide();
    CmdMostrarTodo = new QPushButton(QStringLiteral("Mostrar todo"), this);
    CmdMostrarTodo->setObjectName(QStringLiteral("CmdMostrarTodo"));
    CmdMostrarTodo->setAccessibleDescription(
        QStringLiteral("Vuelve a mostrar todas las órdenes cargadas."));
    CmdMostrarTodo->hide();
    // An export under way may be reading the filtered rows.
    connect(CmdMostrarTodo, &QPushButton::clicked, this, [this] {
        if (!m_ocupada)
            MostrarTodo();
    });
    // A new load (or a grid emptied) leaves nothing the filter's rows stand for.
    connect(&MSFlexGrid1, &QAbstractItemModel::modelReset, this, [this] {
        if (!m_insumoFiltrado.isEmpty())
            MostrarTodo();
    });
    TabGrillas = new TabBar(this);
    TabGrillas->setObjectName(QStringLiteral("TabGrillas"));
    TabGrillas->setShape(QTabBar::RoundedSouth);
    TabGrillas->setDrawBase(false);
    TabGrillas->setExpanding(false);
    TabGrillas->addTab(QStringLiteral("Órdenes"));
    TabGrillas->addTab(QStringLiteral("Totales por insumo"));
    TabGrillas->hide();
    connect(TabGrillas, &QTabBar::currentChanged, this, [this](int i) { mostrarGrilla(i); });
}

// What a screen reader says of each control, beside its designed caption: the
// filter boxes share two frame titles and two labels, so each gets a name of
// its own and a description of what it takes.
void RP_OProduccion::nombrarControles()
{
    struct Caja
    {
        int indice;
        const char* nombre;
        const char* descripcion;
    };
    static const Caja cajas[] = {
        {0, "Sucursal desde",
         "Primera orden del rango: sucursal, hasta 4 dígitos, completados con ceros."},
        {1, "Número desde",
         "Primera orden del rango: número, hasta 8 dígitos, completados con ceros."},
        {2, "Letra desde", "Primera orden del rango: letra del número, una sola."},
        {3, "Sucursal hasta",
         "Última orden del rango: sucursal, hasta 4 dígitos, completados con ceros."},
        {4, "Número hasta",
         "Última orden del rango: número, hasta 8 dígitos, completados con ceros."},
        {5, "Letra hasta",
         "Última orden del rango: letra del número, una sola; sin letra, todas las del número."},
        {8, "Fecha desde", "Primera fecha de las órdenes, como día/mes/año."},
        {9, "Fecha hasta", "Última fecha de las órdenes, como día/mes/año; incluye todo ese día."},
    };
    for (const Caja& c : cajas) {
        txtFields.at(c.indice)->setAccessibleName(QString::fromUtf8(c.nombre));
        txtFields.at(c.indice)->setAccessibleDescription(QString::fromUtf8(c.descripcion) +
                                                         QStringLiteral(" Vacía, sin límite."));
    }
    // The labels read "Desde:" and "Hasta:" before the first box of each range.
    Label1.at(0)->setBuddy(txtFields.at(0));
    Label2.at(0)->setBuddy(txtFields.at(3));
    Label1.at(2)->setBuddy(txtFields.at(8));
    Label2.at(2)->setBuddy(txtFields.at(9));

    const QString ambos = QStringLiteral(" Con los dos estados marcados, o ninguno, todas.");
    ChkEstado.at(0)->setAccessibleDescription(QStringLiteral("Lista las órdenes pendientes.") +
                                              ambos);
    ChkEstado.at(1)->setAccessibleDescription(QStringLiteral("Lista las órdenes finalizadas.") +
                                              ambos);
    OptOrden.at(0)->setAccessibleName(QStringLiteral("Ordenar por fecha"));
    OptOrden.at(1)->setAccessibleName(QStringLiteral("Ordenar por número"));
    OptTipo.at(2)->setAccessibleName(QStringLiteral("Tipo estimativo"));
    OptTipo.at(0)->setAccessibleName(QStringLiteral("Tipo resumido"));
    OptTipo.at(1)->setAccessibleName(QStringLiteral("Tipo detallado"));
    CmdCargar->setAccessibleDescription(
        QStringLiteral("Muestra en la grilla las órdenes que cumplen los filtros."));
    CmdExcel->setAccessibleDescription(QStringLiteral(
        "Guarda la grilla a la vista como libro de cálculo y muestra su vista preliminar."));
    CmdSalir->setAccessibleDescription(QStringLiteral("Termina el programa."));

    MSFlexGrid1Vista->setAccessibleName(QStringLiteral("Resultado del reporte"));
    MSFlexGrid1Vista->setAccessibleDescription(
        QStringLiteral("Cada línea de orden, con las medidas del artículo, seguida de una fila por "
                       "insumo con su peso específico y los kilogramos estimados."));
    MSFlexGridTotalesVista->setAccessibleName(QStringLiteral("Totales por insumo"));
    MSFlexGridTotalesVista->setAccessibleDescription(
        QStringLiteral("Los kilogramos por materia prima de todas las líneas cargadas."));
    for (GridModel* grilla : {&MSFlexGrid1, static_cast<GridModel*>(&MSFlexGridTotales)})
        for (const QString& titulo : {QStringLiteral("Kg"), QStringLiteral("PE")})
            grilla->setColumnDescription(titulo, ayudaDeColumna(titulo));
    MSFlexGridTotales.setColumnDescription(
        QStringLiteral("Kg"),
        QStringLiteral("Kilogramos estimados del insumo en todas las líneas cargadas."));
    MSFlexGridTotales.setColumnDescription(
        QStringLiteral("Incompletas"),
        QStringLiteral("Líneas del insumo cuya estimación está incompleta."));
    TabGrillas->setAccessibleName(QStringLiteral("Grilla a la vista"));
    // Qt names the tab bar's arrows in English when no translation covers them.
    for (QToolButton* flecha : TabGrillas->findChildren<QToolButton*>())
        flecha->setAccessibleName(flecha->objectName().contains(u"Left")
                                      ? QStringLiteral("Pestaña anterior")
                                      : QStringLiteral("Pestaña siguiente"));
    LblEstado->setAccessibleName(NombreEstado);
}

void RP_OProduccion::ordenDeTabulacion()
{
    QList<QWidget*> orden;
    for (const int i : {0, 1, 2, 3, 4, 5, 8, 9})
        orden << txtFields.at(i);
    orden << ChkEstado.at(1) << ChkEstado.at(0) << OptOrden.at(0) << OptOrden.at(1) << OptTipo.at(2)
          << OptTipo.at(0) << OptTipo.at(1) << CmdCargar << MSFlexGrid1Vista << CmdExcel
          << CmdSalir;
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));
}
