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

using ReporteOrdenes::Titulo;

QString RP_OProduccion::ayudaDeColumna(const QString& titulo)
{
    if (titulo == u"Kg")
        return QStringLiteral(
            "Kilogramos estimados: volumen de la pieza en m³ (largo × ancho × espesor, en mm) "
            "× peso específico en kg/m³ × cantidad de piezas de la línea.\n"
            "Un artículo laminado cuenta el peso específico dos veces.");
    if (titulo == u"PE")
        return QStringLiteral("Peso específico del insumo, en kg/m³.");
    return {};
}

const QString RP_OProduccion::NombreEstado = QStringLiteral("Estado de la carga");

RP_OProduccion::RP_OProduccion(QWidget* parent) : QWidget(parent)
{
    setObjectName(ReporteOrdenes::Nombre);
    setWindowTitle(Titulo);
    resize(pixelsFromTwips(11850), pixelsFromTwips(4830));
    // The design measures assume the suite's small dialog font (8 points).
    QFont letra = font();
    letra.setPointSizeF(8);
    setFont(letra);
    TerminarPrograma = [](int codigo) { QCoreApplication::exit(codigo); };
    crearControles();
    nombrarControles();
    ordenDeTabulacion();
}

RP_OProduccion::~RP_OProduccion() = default;

void RP_OProduccion::mostrarGrilla(int pestana)
{
    const bool filtrada = pestana != 1 && !m_insumoFiltrado.isEmpty();
    PanelTotales->setVisible(pestana == 1);
    MSFlexGrid1Vista->setVisible(pestana != 1 && !filtrada);
    MSFlexGridFiltradaVista->setVisible(filtrada);
    ubicarFiltroInsumo();
}

GridModel& RP_OProduccion::GrillaVisible()
{
    if (TabGrillas && TabGrillas->currentIndex() == 1)
        return MSFlexGridTotales;
    return m_insumoFiltrado.isEmpty() ? MSFlexGrid1 : m_grillaFiltrada;
}

void RP_OProduccion::FiltrarPorInsumo(int filaTotales)
{
    // A load or an export under way reads the grids: the filter waits.
    if (m_ocupada)
        return;
    // The total row and the note under it name no material.
    const std::vector<int>& materiales = m_carga.materialDeFila;
    if (filaTotales < 0 || filaTotales >= int(materiales.size()) ||
        materiales[size_t(filaTotales)] < 0)
        return;
    const ResultadoCarga::Material& material =
        m_carga.tipado.materiales()[size_t(materiales[size_t(filaTotales)])];
    // The rows shown, with their formats and marks, copied into a grid of
    // their own, in the result grid's place: hiding the others row by row
    // would take minutes on a big load. "Exportar Excel" takes this one.
    const int cuantas = ReporteOrdenes::LineasDelMaterial(m_carga, materiales[size_t(filaTotales)],
                                                          MSFlexGrid1, m_grillaFiltrada);
    m_insumoFiltrado = material.codigo;
    const QString descripcion = material.descripcion.trimmed();
    m_insumoFiltradoTexto =
        descripcion.isEmpty() ? material.codigo : material.codigo + u" — " + descripcion;
    LblFiltroInsumo->setText(
        QStringLiteral("Órdenes que usan %1: %2 %3.")
            .arg(m_insumoFiltradoTexto, ResumenCarga::Cifra(cuantas, 0),
                 cuantas == 1 ? QStringLiteral("línea") : QStringLiteral("líneas")));
    LblFiltroInsumo->setAccessibleName(LblFiltroInsumo->text());
    TabGrillas->setCurrentIndex(0);
    mostrarGrilla(0);
    // The keyboard lands on the first line shown, drawn as current.
    MSFlexGridFiltradaVista->selectionModel()->setCurrentIndex(
        MSFlexGridFiltradaVista->model()->index(0, 1), QItemSelectionModel::NoUpdate);
    MSFlexGridFiltradaVista->setFocus(Qt::OtherFocusReason);
}

void RP_OProduccion::MostrarTodo()
{
    m_insumoFiltrado.clear();
    m_insumoFiltradoTexto.clear();
    m_grillaFiltrada.clear();
    m_grillaFiltrada.setRows(2);
    mostrarGrilla(TabGrillas->currentIndex());
}

void RP_OProduccion::ubicarFiltroInsumo()
{
    if (!LblFiltroInsumo)
        return;
    const bool visible = !m_insumoFiltrado.isEmpty() && TabGrillas->currentIndex() != 1;
    LblFiltroInsumo->setVisible(visible);
    CmdMostrarTodo->setVisible(visible);
    if (!visible)
        return;
    // In the band between the buttons and the grid.
    const QRect grilla = MSFlexGrid1Vista->geometry();
    const QSize boton = CmdMostrarTodo->sizeHint();
    const int arriba = std::max(0, grilla.top() - boton.height() - 2);
    CmdMostrarTodo->setGeometry(grilla.right() - boton.width() - 4, arriba, boton.width(),
                                boton.height());
    LblFiltroInsumo->setGeometry(
        grilla.x() + 4, arriba, std::max(1, CmdMostrarTodo->x() - grilla.x() - 12), boton.height());
}

ModGlobal::Inicio RP_OProduccion::Form_Load(const QString& lineaComandos)
{
    if (ModGlobal::IniciarSesion(lineaComandos) == ModGlobal::Inicio::Terminar)
        return ModGlobal::Inicio::Terminar;
    Componentes::General().PrepararFormulario(this, 0);
    ModGlobal::DecorarFormulario(this);
    return ModGlobal::Inicio::Seguir;
}

void RP_OProduccion::ajustarColumnasTotales()
{
    GridView& vista = *MSFlexGridTotalesVista;
    constexpr int Descripcion = 2;
    constexpr int MinimoDescripcion = 120;
    int otras = 0;
    for (int c = 0; c < MSFlexGridTotales.cols(); ++c) {
        // The first column is the grid's narrow margin, as designed.
        if (c != 0 && c != Descripcion)
            vista.resizeColumnToContents(c);
        if (c != Descripcion)
            otras += vista.columnWidth(c);
    }
    vista.setColumnWidth(Descripcion,
                         std::max(MinimoDescripcion, vista.viewport()->width() - otras));
}

void RP_OProduccion::Form_Resize()
{
    ManejadorError enError = ManejadorError::omitiendo();
    const auto invalido = [] {
        return RuntimeError(380, QStringLiteral("Valor de propiedad no válido"),
                            QStringLiteral("Form_Resize"));
    };
    enError.paso([&] {
        // The band above the grid scrolls sideways only where it does not fit.
        const QWidget* banda = AreaFiltros->widget();
        const int barra =
            width() < banda->width() ? AreaFiltros->horizontalScrollBar()->sizeHint().height() : 0;
        AreaFiltros->setGeometry(0, 0, width(), banda->height() + barra);
    });
    enError.paso([&] { MSFlexGrid1Vista->move(0, MSFlexGrid1Vista->y()); });
    enError.paso([&] {
        const int ancho = twipsFromPixels(frameGeometry().width()) - 300;
        if (ancho <= 0)
            throw invalido();
        MSFlexGrid1Vista->resize(pixelsFromTwips(ancho), MSFlexGrid1Vista->height());
    });
    enError.paso([&] {
        const int alto = twipsFromPixels(frameGeometry().height()) -
                         twipsFromPixels(MSFlexGrid1Vista->y()) - 600;
        if (alto <= 0)
            throw invalido();
        // The rule measures from the outer height, so a window manager's title
        // bar eats most of the band below the grid: the grid gives up what the
        // status line needs to stay in sight.
        const int cabe = height() - MSFlexGrid1Vista->y() - altoEstado();
        MSFlexGrid1Vista->resize(MSFlexGrid1Vista->width(),
                                 cabe > 0 ? std::min(pixelsFromTwips(alto), cabe)
                                          : pixelsFromTwips(alto));
    });
    enError.paso([&] { ubicarEstado(); });
}

void RP_OProduccion::ubicarEstado()
{
    if (!LblEstado)
        return;
    const QRect grilla = MSFlexGrid1Vista->geometry();
    const int arriba = grilla.bottom() + 1;
    const int alto = std::min(height() - arriba, altoEstado());
    if (PanelTotales)
        PanelTotales->setGeometry(grilla);
    if (MSFlexGridFiltradaVista)
        MSFlexGridFiltradaVista->setGeometry(grilla);
    ubicarFiltroInsumo();
    if (alto <= 0 || grilla.width() <= 8)
        return;
    int izquierda = grilla.x() + 4;
    if (TabGrillas && TabGrillas->isVisible()) {
        const int ancho = std::min(TabGrillas->sizeHint().width(), grilla.width() / 2);
        TabGrillas->setGeometry(grilla.x(), arriba, ancho, alto);
        izquierda = grilla.x() + ancho + 8;
    }
    LblEstado->setGeometry(izquierda, arriba, std::max(1, grilla.right() - 4 - izquierda), alto);
}

int RP_OProduccion::altoEstado() const
{
    return LblEstado ? LblEstado->fontMetrics().height() + 6 : 0;
}

void RP_OProduccion::mostrarEstado(const QString& texto)
{
    LblEstado->setText(texto);
    LblEstado->setToolTip(texto);
    // A screen reader hears the new name (Qt announces a name change), so it
    // carries the text; the label's own text alone would change unannounced.
    LblEstado->setAccessibleName(texto.isEmpty() ? NombreEstado : NombreEstado + u": " + texto);
    LblEstado->setVisible(!texto.isEmpty());
    ubicarEstado();
}

bool RP_OProduccion::eventFilter(QObject* objeto, QEvent* evento)
{
    QHeaderView* titulos = MSFlexGrid1Vista ? MSFlexGrid1Vista->horizontalHeader() : nullptr;
    if (evento->type() != QEvent::ToolTip || !titulos || objeto != titulos->viewport())
        return QWidget::eventFilter(objeto, evento);
    const auto* ayuda = static_cast<QHelpEvent*>(evento);
    const int columna = titulos->logicalIndexAt(ayuda->pos());
    const QString texto = columna < 0 || MSFlexGrid1.rows() < 1
                              ? QString()
                              : ayudaDeColumna(MSFlexGrid1.text(0, columna));
    if (texto.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(ayuda->globalPos(), texto, titulos->viewport());
    return true;
}

void RP_OProduccion::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    Form_Resize();
}

void RP_OProduccion::closeEvent(QCloseEvent* evento)
{
    // The work under way still uses the window and its grid: "Cancelar" first.
    if (m_ocupada) {
        evento->ignore();
        return;
    }
    // Unload, in skip mode: each step runs even if the one before failed.
    ManejadorError enError = ManejadorError::omitiendo();
    enError.paso([&] { hide(); });
    enError.paso([&] { deleteLater(); });
    enError.paso([&] { TerminarPrograma(0); });
    evento->accept();
}

void RP_OProduccion::atender(const std::function<void()>& manejador)
{
    m_cajaConError.clear();
    // A filter to mend: its box takes the keyboard, not the button pressed.
    if (!Atender(manejador) && !m_cajaConError.isEmpty())
        txtFields.at(Componentes::Teclado().IndiceCampo(m_cajaConError, txtFields))
            ->setFocus(Qt::OtherFocusReason);
    m_cajaConError.clear();
}

void RP_OProduccion::enExclusiva(const std::function<void()>& trabajo)
{
    // The buttons are disabled meanwhile, so only a host calling the handler
    // itself gets here.
    if (m_ocupada) {
        Componentes::General().Mensaje(
            QStringLiteral("Espere a que termine la carga o la exportación en curso."));
        return;
    }
    // The progress window is modal, but the work lets window events run: a
    // second command would reset the grid under the first one.
    QList<QPointer<QWidget>> controles = {FrmTipo,  Frame2,   CmdCargar,
                                          CmdExcel, CmdSalir, TabGrillas};
    for (const int i : Frame1.indexes())
        controles << Frame1.at(i);
    const QPointer<QWidget> foco = QApplication::focusWidget();
    struct Liberar
    {
        RP_OProduccion& ventana;
        const QList<QPointer<QWidget>>& controles;
        const QPointer<QWidget>& foco;
        ~Liberar()
        {
            for (const QPointer<QWidget>& control : controles)
                if (control)
                    control->setEnabled(true);
            ventana.devolverFoco(foco.data());
            ventana.m_ocupada = false;
        }
    };
    m_ocupada = true;
    const Liberar liberar{*this, controles, foco};
    for (const QPointer<QWidget>& control : controles)
        control->setEnabled(false);
    trabajo();
}

void RP_OProduccion::devolverFoco(QWidget* foco)
{
    // The progress window had the keyboard: it comes back to this window, to
    // the control that had it, or to the grid when that one cannot take it.
    if (isVisible() && QApplication::activeWindow() != this &&
        (!QApplication::activeWindow() || !QApplication::activeWindow()->isVisible()))
        activateWindow();
    if (!foco || foco->window() != this || !foco->isEnabled() || !foco->isVisible() ||
        foco->focusPolicy() == Qt::NoFocus)
        foco = &GrillaVisible() == &MSFlexGridTotales
                   ? static_cast<QWidget*>(MSFlexGridTotalesVista)
                   : MSFlexGrid1Vista;
    if (foco)
        foco->setFocus(Qt::OtherFocusReason);
}

void RP_OProduccion::IniciaGridInsumos()
{
    CargaOrdenes::IniciarGrilla(MSFlexGrid1);
}

void RP_OProduccion::CFG2(const QVariant&, const QVariant&) {}

FiltroOrdenes RP_OProduccion::Filtro() const
{
    FiltroOrdenes filtro;
    CompTeclado& teclado = Componentes::Teclado();
    for (const QString& clave : FiltroOrdenes::Claves())
        filtro.setCaja(clave, txtFields.at(teclado.IndiceCampo(clave, txtFields))->text());
    filtro.pendientes = ChkEstado.at(0)->isChecked();
    filtro.finalizada = ChkEstado.at(1)->isChecked();
    for (const int i : OptOrden.indexes())
        if (OptOrden.at(i)->isChecked())
            filtro.orden = OptOrden.at(i)->property("Tag").toString();
    return filtro;
}

void RP_OProduccion::MostrarFiltro(const FiltroOrdenes& filtro)
{
    CompTeclado& teclado = Componentes::Teclado();
    for (const QString& clave : FiltroOrdenes::Claves()) {
        QLineEdit* caja = txtFields.at(teclado.IndiceCampo(clave, txtFields));
        caja->setText(CompTeclado::TextoAlSalir(CompTeclado::TipoDe(caja), filtro.Caja(clave)));
    }
    ChkEstado.at(0)->setChecked(filtro.pendientes);
    ChkEstado.at(1)->setChecked(filtro.finalizada);
    for (const int i : OptOrden.indexes())
        if (OptOrden.at(i)->property("Tag").toString() == filtro.orden)
            OptOrden.at(i)->setChecked(true);
}

void RP_OProduccion::OfrecerUltimosFiltros()
{
    if (const std::optional<FiltroOrdenes> ultimos = FiltroOrdenes::Ultimos())
        MostrarFiltro(*ultimos);
}

FiltroOrdenes RP_OProduccion::prepararCarga()
{
    const FiltroOrdenes filtro = Filtro();
    filtro.Comprobar(&m_cajaConError);
    m_filtrosCargados = filtro.Descripcion();
    return filtro;
}

CargaOrdenes::Resultado RP_OProduccion::Cargar(const CargaOrdenes::Avance& avance)
{
    const FiltroOrdenes filtro = prepararCarga();
    QElapsedTimer total;
    total.start();
    GridModel totales;
    ReporteOrdenes::Carga carga = ReporteOrdenes::Cargar(
        filtro, MSFlexGrid1, ReporteOrdenes::Alcance::ConTotales, &totales, avance);
    MSFlexGridTotales.takeContents(totales);
    const CargaOrdenes::Resultado resultado = carga.resultado;
    mostrarCarga(std::move(carga), total.elapsed());
    ModGlobal::ReintentarRegistroAcceso();
    return resultado;
}

void RP_OProduccion::PrepararImpresion() const
{
    // The filtered orders' workbook says which material chose them.
    QString filtros = m_filtrosCargados;
    if (!m_insumoFiltrado.isEmpty() && TabGrillas->currentIndex() != 1)
        filtros += (filtros.isEmpty() ? QString() : QStringLiteral("; ")) +
                   QStringLiteral("Insumo: ") + m_insumoFiltradoTexto;
    ModExportarExcel::setEncabezadoImpresion(Titulo, filtros);
}

void RP_OProduccion::CmdCargar_Click()
{
    enExclusiva([this] { cargarConProgreso(); });
}

namespace {
QString totalesIncompletos(int lineas)
{
    return QStringLiteral("Los totales por insumo están incompletos: la carga se canceló y "
                          "cubren solo las %L1 líneas cargadas hasta ese momento. Vuelva a cargar "
                          "las órdenes con \"Cargar\" para verlos y exportarlos completos.")
        .arg(lineas);
}
} // namespace

void RP_OProduccion::mostrarCarga(ReporteOrdenes::Carga carga, qint64 milisegundos)
{
    m_carga = std::move(carga);
    const CargaOrdenes::Resultado& resultado = m_carga.resultado;
    GrfTotales->Mostrar(m_carga.grafico);
    // A load cancelled says so where its totals are.
    m_totalesSinCalcular = resultado.cancelada;
    if (m_totalesSinCalcular)
        GrfTotales->Lectura()->setText(totalesIncompletos(resultado.lineas));
    const QString estado = m_carga.resumen.Texto(milisegundos);
    // Stopped before its first line, a load knows nothing of what the filter
    // finds: "no order" would be a claim it never checked.
    if (resultado.cancelada && resultado.lineas == 0)
        mostrarEstado(QStringLiteral("Carga cancelada antes de la primera línea."));
    else
        mostrarEstado(resultado.cancelada ? QStringLiteral("Carga cancelada.   ") + estado
                                          : estado);
}

void RP_OProduccion::cargarConProgreso()
{
    const QString titulo = QStringLiteral("Cargando órdenes de producción");
    CompProgreso& progreso = Componentes::Progreso();
    struct Cierre
    {
        CompProgreso& progreso;
        ~Cierre() { progreso.CerrarProgreso(); }
    } cierre{progreso};
    // The filters are checked before the progress window shows.
    const FiltroOrdenes filtro = prepararCarga();
    QElapsedTimer total;
    total.start();
    progreso.MostrarProgreso(titulo, 0, true);
    // A failed load leaves a grid the status line and the totals would
    // misdescribe.
    mostrarEstado(QString());
    m_carga = {};
    TotalesInsumo::Calcular(ResultadoCarga(), MSFlexGridTotales);
    GrfTotales->Mostrar(std::nullopt);
    CargaOrdenes::IniciarGrilla(MSFlexGrid1);

    // The worker fills grids of its own, which these take whole when the
    // work ends, however it ends: the rows so far stay.
    GridModel cargada, totales;
    // As the load leaves it before its first row, should the worker fail
    // before the load starts (its connection refused).
    CargaOrdenes::IniciarGrilla(cargada);
    ReporteOrdenes::Carga carga;
    std::atomic<int> lineas{0};
    TrabajoEnHilo trabajo([&] {
        // The marks, the figures and the totals are worked out as the rows
        // arrive: when the last one is read, the window only shows them.
        carga = ReporteOrdenes::Cargar(filtro, cargada, ReporteOrdenes::Alcance::ConTotales,
                                       &totales, [&](int n) {
                                           lineas.store(n);
                                           return !trabajo.Cancelado();
                                       });
    });
    auto entregar = qScopeGuard([&] { MSFlexGrid1.takeContents(cargada); });
    int mostradas = 0;
    trabajo.Ejecutar([&] {
        // The count shows once the first line is in, as the load goes.
        const int n = lineas.load();
        if (n != mostradas) {
            mostradas = n;
            progreso.ActualizarProgreso(0, titulo, QStringLiteral("Espere Por Favor"),
                                        QStringLiteral("%L1 líneas cargadas").arg(n));
        }
        if (progreso.Cancelado())
            trabajo.Cancelar();
    });
    entregar.dismiss();
    MSFlexGrid1.takeContents(cargada);
    MSFlexGridTotales.takeContents(totales);
    // The views take the new rows now, not at the next pass of events.
    MSFlexGrid1Vista->doItemsLayout();
    MSFlexGridTotalesVista->doItemsLayout();
    progreso.CerrarProgreso();
    TabGrillas->show();
    const CargaOrdenes::Resultado resultado = carga.resultado;
    mostrarCarga(std::move(carga), total.elapsed());
    filtro.Guardar();
    ModGlobal::ReintentarRegistroAcceso();
    if (resultado.cancelada)
        Componentes::General().Mensaje(
            QStringLiteral("Carga cancelada: la grilla muestra las %L1 líneas cargadas hasta ese "
                           "momento.")
                .arg(resultado.lineas));
}

void RP_OProduccion::CmdExcel_Click()
{
    // Titles alone (before any load, or after one that found nothing) would
    // make an empty workbook and an empty preview.
    const GridModel& grilla = GrillaVisible();
    if (&grilla == &MSFlexGridTotales && m_totalesSinCalcular) {
        Componentes::General().Mensaje(totalesIncompletos(m_carga.resultado.lineas));
        return;
    }
    bool hayDatos = false;
    for (int r = 1; r < grilla.rows() && !hayDatos; ++r)
        for (int c = 0; c < grilla.cols() && !hayDatos; ++c)
            hayDatos = !grilla.text(r, c).isEmpty();
    if (!hayDatos) {
        Componentes::General().Mensaje(QStringLiteral(
            "No hay datos para exportar: primero traiga las órdenes con \"Cargar\"."));
        return;
    }
    enExclusiva([this] {
        PrepararImpresion();
        ModExportarExcel::ExportarExcel(GrillaVisible(), true, QString(), QString(), false);
    });
}

void RP_OProduccion::CmdSalir_Click()
{
    TerminarPrograma(0);
}
