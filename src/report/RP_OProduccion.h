#pragma once

#include "platform/controls/ControlArray.h"
#include "platform/controls/GridModel.h"
#include "report/nucleo/ReporteOrdenes.h"
#include "report/nucleo/TotalesInsumo.h"
#include "session/ModGlobal.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class GraficoTotales;
class GridView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QTabBar;

// The production-order report window, the program's start-up window.
class RP_OProduccion : public QWidget
{
    Q_OBJECT
public:
    explicit RP_OProduccion(QWidget* parent = nullptr);
    ~RP_OProduccion() override;

    // Load: session start-up with the launcher's command line, the window's
    // set-up and its decoration (icon, access-log row). Terminar means there is
    // no database connection and the program must end.
    ModGlobal::Inicio Form_Load(const QString& lineaComandos);

    // Public operations a host may call.
    void IniciaGridInsumos();
    void CFG2(const QVariant& primero, const QVariant& segundo);

    // What ends the program; tests replace it to see that it was asked for.
    std::function<void(int codigo)> TerminarPrograma;

    // The controls, by their suite names.
    ControlArray<QLineEdit> txtFields;
    ControlArray<QCheckBox> ChkEstado;
    ControlArray<QRadioButton> OptOrden;
    ControlArray<QRadioButton> OptTipo;
    ControlArray<QGroupBox> Frame1;
    ControlArray<QLabel> Label1;
    ControlArray<QLabel> Label2;
    QGroupBox* FrmTipo = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* CmdCargar = nullptr;
    QPushButton* CmdExcel = nullptr;
    QPushButton* CmdSalir = nullptr;
    // The band that holds the filters and the buttons above the grid.
    QScrollArea* AreaFiltros = nullptr;
    GridModel MSFlexGrid1;
    GridView* MSFlexGrid1Vista = nullptr;
    // The status line under the grid: what the last load brought and how long
    // it took. Hidden until the first load.
    QLabel* LblEstado = nullptr;
    // "Totales por insumo": the kilograms per raw material of the last load,
    // in the result grid's place when its tab is chosen. The tabs sit at the
    // left of the status line and show from the first load on.
    TotalesInsumo::Modelo MSFlexGridTotales;
    GridView* MSFlexGridTotalesVista = nullptr;
    QTabBar* TabGrillas = nullptr;
    // Beside the totals grid, in the same tab: their chart and its reading.
    QSplitter* PanelTotales = nullptr;
    GraficoTotales* GrfTotales = nullptr;
    // The grid of the tab in sight: the one "Exportar Excel" exports. While a
    // material filters the orders, their tab's grid is what is shown of it.
    GridModel& GrillaVisible();

    // From a material to its orders: the "Órdenes" tab shows only the order
    // lines that use the material of the totals grid's row `filaTotales`,
    // each with its supply rows, under a line naming the material with
    // "Mostrar todo", which ends the filter.
    void FiltrarPorInsumo(int filaTotales);
    void MostrarTodo();
    // The filtering material's code; empty when the orders show whole.
    const QString& InsumoFiltrado() const { return m_insumoFiltrado; }
    QLabel* LblFiltroInsumo = nullptr;
    QPushButton* CmdMostrarTodo = nullptr;
    // The filtered lines, in the result grid's place while the filter lasts.
    GridView* MSFlexGridFiltradaVista = nullptr;

    // The filters as the window's controls hold them, and the other way.
    FiltroOrdenes Filtro() const;
    void MostrarFiltro(const FiltroOrdenes& filtro);

    // The load with the window's filters, without progress window, on this
    // thread: the grid, its marks and the totals, as "Cargar" leaves them. A
    // range whose lower end lies above its upper end is refused before any query.
    CargaOrdenes::Resultado Cargar(const CargaOrdenes::Avance& avance = {});

    // Fills the filters with those the operator last loaded with. The
    // window's start offers them; a command-line run neither reads nor
    // writes them.
    void OfrecerUltimosFiltros();
    static QString ArchivoPreferencias() { return FiltroOrdenes::ArchivoPreferencias(); }

    // The filters of the last load, in words, for the printed pages' header;
    // empty before any load.
    const QString& FiltrosCargados() const { return m_filtrosCargados; }
    // Hands the report's title and those filters to the export, for the
    // header of the pages it prints and of the workbook it saves.
    void PrepararImpresion() const;

    // True while a load or an export runs: the window then takes no other
    // command.
    bool Ocupada() const { return m_ocupada; }

    void Form_Resize();
    void CmdCargar_Click();
    void CmdExcel_Click();
    void CmdSalir_Click();

protected:
    void resizeEvent(QResizeEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // What the columns of figures hold, for the operator who hovers their titles.
    static QString ayudaDeColumna(const QString& titulo);
    static const QString NombreEstado;
    // The filter box the last refused load's first error named.
    mutable QString m_cajaConError;
    // The last load was cancelled before its totals were worked out.
    bool m_totalesSinCalcular = false;
    void crearControles();
    void nombrarControles();
    // The window's filters, checked (an error names its box, which takes
    // the keyboard once the message is read); the filters in words are kept
    // for the printed pages.
    FiltroOrdenes prepararCarga();
    // Takes what a load left: its typed rows, the figures on the status
    // line, the totals' chart.
    void mostrarCarga(ReporteOrdenes::Carga carga, qint64 milisegundos);
    void mostrarEstado(const QString& texto);
    int altoEstado() const;
    void mostrarGrilla(int pestana);
    void ajustarColumnasTotales();
    void ubicarEstado();
    void ordenDeTabulacion();
    // Runs an event handler; a failure is shown with its text and the window stays.
    void atender(const std::function<void()>& manejador);
    // Runs a long operation with every command of the window disabled, and
    // gives them back however it ends.
    void enExclusiva(const std::function<void()>& trabajo);
    void devolverFoco(QWidget* foco);
    // The load on a worker thread: the window keeps answering and "Cancelar"
    // stops it at once, even in the middle of a statement.
    void cargarConProgreso();

    void ubicarFiltroInsumo();

    bool m_ocupada = false;
    QString m_filtrosCargados;
    QString m_insumoFiltrado;
    QString m_insumoFiltradoTexto;
    // The rows the filter shows, copied for "Exportar Excel".
    GridModel m_grillaFiltrada;
    // The last load's rows as numbers, its figures and the totals' materials.
    ReporteOrdenes::Carga m_carga;
};
