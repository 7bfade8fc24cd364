#include "export/ModExportarExcel.h"

#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "components/TrabajoEnHilo.h"
#include "export/AvanceExportacion.h"
#include "export/LlenadoHoja.h"
#include "platform/controls/GridModel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/files/ProgramFolder.h"
#include "platform/spreadsheet/SheetPrinter.h"
#include "platform/spreadsheet/SpreadsheetApp.h"
#include "platform/spreadsheet/Worksheet.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTime>
#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// The module's spreadsheet application: set by AbrirExcel, dropped when the
// export ends, however it ends.
std::unique_ptr<SpreadsheetApp> excel;
bool exportando = false;
std::function<QString(const QString&)> consultaParametro;
std::function<bool(const QString&)> respuestaRuta;

// True for the HTML page: the operator's OK to the question.
bool preguntarRuta()
{
    const QString texto = u"Su configuración actual indica que abrira el reporte en formato Open "
                          u"Office.\n¿Desea abrir el reporte en Open Office[Aceptar] o en "
                          u"Excel[Cancelar]?"_s;
    if (respuestaRuta)
        return respuestaRuta(texto);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    QMessageBox caja(QMessageBox::Information, u"Aviso al Operador"_s, texto,
                     QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    caja.setObjectName(u"AvisoAlOperador"_s);
    return caja.exec() == QMessageBox::Ok;
}

bool rutaHojaDeCalculo(bool forzarExcel)
{
    if (forzarExcel)
        return true;
    const QString valor = ModExportarExcel::ValorParametro(u"USAEXCEL"_s);
    if (valor.trimmed().isEmpty() || valor == u"SI"_s)
        return true;
    return !preguntarRuta();
}

// "PL" and the time in the program folder; an earlier page of the same name
// is kept, the new one takes a suffix. A symbolic link of that name, which
// any user may plant in a shared program folder, is a name taken, never
// followed.
QString nombrePagina()
{
    const QTime ahora = QTime::currentTime();
    const QString base = Componentes::General().CompletarRuta(programFolder()) + u"PL"_s +
                         QString::number(ahora.hour()) + QString::number(ahora.minute()) +
                         QString::number(ahora.second());
    QString nombre = base + u".ods"_s;
    for (int n = 2; QFileInfo::exists(nombre) || QFileInfo(nombre).isSymLink(); ++n)
        nombre = base + u'-' + QString::number(n) + u".ods"_s;
    return nombre;
}

void abandonar()
{
    Componentes::Progreso().CerrarProgreso();
    excel.reset();
}

// The window's side of an export running on a worker: the progress window
// shown all along (cancellable), its texts taken from `texto` every
// TrabajoEnHilo::IntervaloMs, the grid's current cell following the cell
// reached, a cancel passed on at once. Raises what the work raised.
void enHilo(const std::function<void()>& obra, AvanceExportacion& avance, GridModel* cursor,
            const std::function<void(CompProgreso&)>& texto)
{
    CompProgreso& progreso = Componentes::Progreso();
    TrabajoEnHilo trabajo(obra, TrabajoEnHilo::Datos::Ninguno);
    trabajo.Ejecutar([&] {
        if (progreso.Cancelado() && !avance.Cancelado()) {
            avance.cancelado.store(true);
            trabajo.Cancelar();
        }
        texto(progreso);
        if (cursor)
            ModExportarExcel::MoverCursor(*cursor, avance);
    });
    if (cursor)
        ModExportarExcel::MoverCursor(*cursor, avance);
}

// Printing or saving the preview's pages as PDF can take long on a large
// grid: the pages are painted on a worker, the operator sees them go by and
// may cancel between two of them.
struct Paginas
{
    std::atomic<int> hechas{0}, total{0};
    AvanceExportacion avance;

    SheetPrinter::Progress progreso()
    {
        return [this](int h, int t) {
            hechas.store(h);
            total.store(t);
            return !avance.Cancelado();
        };
    }

    bool imprimir(const std::function<bool()>& obra)
    {
        const QString titulo = u"Imprimiendo la hoja…"_s;
        hechas = 0;
        total = 0;
        avance.cancelado = false;
        CompProgreso& progreso = Componentes::Progreso();
        progreso.MostrarProgreso(titulo, 0, true);
        const auto cierre = qScopeGuard([&] { progreso.CerrarProgreso(); });
        bool hecho = false;
        enHilo([&] { hecho = obra(); }, avance, nullptr,
               [&](CompProgreso& p) {
                   p.ActualizarProgreso(
                       0, titulo, u"Espere Por Favor"_s,
                       u"%L1 de %L2 páginas"_s.arg(hechas.load()).arg(total.load()));
               });
        return hecho;
    }
};

// The workbook filled and saved on a worker, the window's thread never
// writing a file; opened with the desktop's program and told to the operator
// on the window's thread.
void rutaExcel(GridModel& grilla, bool vistaPrevia, ManejadorError& enError)
{
    const QString copiando = u"Exportando a Excel"_s;
    const QString guardando = u"Guardando el libro…"_s;
    AvanceExportacion avance;
    std::atomic<bool> enGuardado{false};
    bool lleno = false, cancelada = false;
    LlenadoHoja llenado(grilla, &avance);
    const int filas = grilla.rows();
    Componentes::Progreso().MostrarProgreso(copiando, 0, true);
    const auto cierre = qScopeGuard([] { Componentes::Progreso().CerrarProgreso(); });
    enHilo(
        [&] {
            lleno = llenado.llenar(excel, enError);
            cancelada = llenado.cancelado();
            if (!lleno)
                return;
            enGuardado = true;
            lleno = enError.paso([&] {
                if (!excel)
                    throw RuntimeError(
                        ErrorNumber::ObjectRequired,
                        u"Se requiere un objeto: no hay una hoja de cálculo abierta"_s,
                        u"ModExportarExcel"_s);
                excel->setSaveProgress([&](int escritas, int total) {
                    avance.escritas.store(escritas);
                    avance.total.store(total);
                });
                const auto sinAviso = qScopeGuard([&] { excel->setSaveProgress({}); });
                try {
                    excel->save([&] { return avance.Cancelado(); });
                } catch (const RuntimeError& error) {
                    if (error.number() != ErrorNumber::Cancelled || !avance.Cancelado())
                        throw;
                    cancelada = true;
                }
            }) && !cancelada;
        },
        avance, &grilla,
        [&](CompProgreso& progreso) {
            if (!enGuardado) {
                const int r = avance.filas.load();
                if (r > 0)
                    progreso.ActualizarProgreso(
                        0, copiando, u"Espere Por Favor"_s,
                        u"%L1 de %L2 filas copiadas"_s.arg(r).arg(filas - 1));
                return;
            }
            const int escritas = avance.escritas.load(), total = avance.total.load();
            progreso.ActualizarProgreso(
                0, guardando, u"Espere Por Favor"_s,
                total == 0         ? u"Preparando el libro…"_s
                : escritas < total ? u"%L1 de %L2 filas escritas"_s.arg(escritas).arg(total)
                                   : u"%L1 filas escritas; comprimiendo el libro…"_s.arg(total));
        });
    // "Cancelar" pressed as the work was ending, before the window learnt it
    // had: the operator still saw it going, and a workbook of a name of its
    // own, which nothing else knows, goes again.
    if (lleno && Componentes::Progreso().Cancelado() && excel && !excel->savedPath().isEmpty()) {
        QFile::remove(excel->savedPath());
        lleno = false;
        cancelada = true;
    }
    Componentes::Progreso().CerrarProgreso();
    if (!lleno) {
        abandonar();
        if (cancelada)
            Componentes::General().Mensaje(u"Exportación cancelada: no se guardó ningún libro."_s);
        return;
    }
    const bool hecho = enError.paso([] {
        // Skipped when it failed: there is no file to open.
        if (excel->savedPath().isEmpty())
            return;
        excel->openOnDesktop();
        if (!excel->openedOnDesktop())
            Componentes::General().Mensaje(
                u"El libro quedó guardado en %1\nNo hay en el escritorio un programa que "
                u"abra libros de Excel (.xlsx)."_s.arg(
                    QDir::toNativeSeparators(excel->savedPath())));
    }) && enError.paso([&] {
        if (vistaPrevia && excel) {
            Paginas paginas;
            excel->activeSheet().printPreview(
                paginas.progreso(),
                [&](const std::function<bool()>& obra) { return paginas.imprimir(obra); });
        }
    });
    Q_UNUSED(hecho);
    abandonar();
}

// The page written on a worker; opened on the window's thread.
void rutaPagina(GridModel& grilla, const QString& titulo, ManejadorError& enError)
{
    QString archivo;
    AvanceExportacion avance;
    const int filas = grilla.rows();
    const bool hecho =
        enError.paso([] { Componentes::Progreso().MostrarProgreso(u"Procesando"_s, 0, true); }) &&
        enError.paso([] {
            Componentes::Progreso().ActualizarProgreso(0, u"Procesando datos"_s, u"Exportando"_s,
                                                       u"Espere porfavor..."_s);
        }) &&
        enError.paso([&] { archivo = nombrePagina(); }) && enError.paso([&] {
            enHilo([&] { ModExportarExcel::GeneraHTML(archivo, grilla, titulo, avance); }, avance,
                   &grilla,
                   [&](CompProgreso& progreso) {
                       const int r = avance.filas.load();
                       if (r > 0)
                           progreso.ActualizarProgreso(
                               0, u"Procesando datos"_s, u"Exportando"_s,
                               u"%L1 de %L2 filas escritas"_s.arg(r).arg(filas - 1));
                   });
        });
    // Cancelled as it ended: the page of a name of its own goes again.
    const bool cancelada = Componentes::Progreso().Cancelado();
    if (hecho && cancelada && QFileInfo::exists(archivo))
        QFile::remove(archivo);
    Componentes::Progreso().CerrarProgreso();
    if (hecho && cancelada) {
        Componentes::General().Mensaje(u"Exportación cancelada: no se guardó ninguna página."_s);
        return;
    }
    // A page abandoned half-way was never put in place: nothing to open.
    if (hecho && QFileInfo::exists(archivo))
        enError.paso([&] {
            if (!DesktopOpener::instance().open(archivo))
                Componentes::General().Mensaje(
                    u"La página quedó guardada en %1\nEl escritorio no pudo abrirla con un "
                    u"programa."_s.arg(QDir::toNativeSeparators(archivo)));
        });
}

} // namespace

namespace ModExportarExcel {

void ExportarExcel(GridModel& grilla, bool vistaPrevia, const QString& titulo, const QString&,
                   bool forzarExcel)
{
    // The progress window keeps the operator out of the report window, but
    // events still run during the export: never start a second one on top.
    if (exportando) {
        Componentes::General().Mensaje(u"Ya hay una exportación en curso; espere a que termine."_s);
        return;
    }
    exportando = true;
    struct Fin
    {
        ~Fin() { exportando = false; }
    } fin;

    ManejadorError enError = ManejadorError::sinEtiqueta();
    bool hojaDeCalculo = true;
    if (!enError.paso([&] { hojaDeCalculo = rutaHojaDeCalculo(forzarExcel); }))
        return;
    if (hojaDeCalculo)
        rutaExcel(grilla, vistaPrevia, enError);
    else
        rutaPagina(grilla, titulo, enError);
}

void AbrirExcel()
{
    LlenadoHoja::abrirExcel(excel);
}

void ArmarEncabezado(int cantidad, const QStringList& encabezados, const QList<int>& anchos)
{
    LlenadoHoja::armarEncabezado(excel.get(), cantidad, encabezados, anchos);
}

QString ValorParametro(const QString& clave)
{
    return consultaParametro ? consultaParametro(clave) : QString();
}

void setValorParametroParaPruebas(std::function<QString(const QString&)> consulta)
{
    consultaParametro = std::move(consulta);
}

void setRespuestaRutaParaPruebas(std::function<bool(const QString&)> respuesta)
{
    respuestaRuta = std::move(respuesta);
}

bool ExcelRetenido()
{
    return excel != nullptr;
}

} // namespace ModExportarExcel
