#include "export/ModExportarExcel.h"

#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "export/LlenadoHoja.h"
#include "platform/controls/GridModel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/files/ProgramFolder.h"
#include "platform/spreadsheet/SpreadsheetApp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QTime>

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

// Saving a large workbook takes a while: the operator sees it go on.
void guardarConProgreso(SpreadsheetApp& aplicacion)
{
    const QString titulo = u"Guardando el libro…"_s;
    CompProgreso& progreso = Componentes::Progreso();
    progreso.MostrarProgreso(titulo, 0);
    // However the saving ends, the window goes and nothing keeps pointing here.
    struct Cierre
    {
        CompProgreso& progreso;
        SpreadsheetApp& aplicacion;
        ~Cierre()
        {
            aplicacion.setSaveProgress({});
            progreso.CerrarProgreso();
        }
    } cierre{progreso, aplicacion};
    QElapsedTimer reloj;
    reloj.start();
    aplicacion.setSaveProgress([&](int escritas, int total) {
        progreso.ActualizarProgreso(
            0, titulo, u"Espere Por Favor"_s,
            escritas < total ? u"%L1 de %L2 filas escritas"_s.arg(escritas).arg(total)
                             : u"%L1 filas escritas; comprimiendo el libro…"_s.arg(total));
        if (reloj.elapsed() >= 50 || escritas == total) {
            QCoreApplication::processEvents();
            reloj.restart();
        }
    });
    aplicacion.setVisible(true);
}

// Printing or saving the preview's pages as PDF can take long on a large
// grid: the operator sees the pages go by and may cancel.
std::function<bool(int, int)> avancePaginas()
{
    return [reloj = QElapsedTimer()](int hechas, int total) mutable {
        const QString titulo = u"Imprimiendo la hoja…"_s;
        CompProgreso& progreso = Componentes::Progreso();
        if (hechas == 0) {
            progreso.MostrarProgreso(titulo, 0, true);
            reloj.start();
        }
        progreso.ActualizarProgreso(0, titulo, u"Espere Por Favor"_s,
                                    u"%L1 de %L2 páginas"_s.arg(hechas).arg(total));
        if (reloj.elapsed() >= 50 || hechas == total) {
            QCoreApplication::processEvents();
            reloj.restart();
        }
        const bool sigue = !progreso.Cancelado();
        if (!sigue || hechas == total)
            progreso.CerrarProgreso();
        return sigue;
    };
}

void rutaExcel(GridModel& grilla, bool vistaPrevia, ManejadorError& enError)
{
    LlenadoHoja llenado(grilla, &grilla, true);
    if (!llenado.llenar(excel, enError)) {
        const bool cancelada = llenado.cancelado();
        abandonar();
        if (cancelada)
            Componentes::General().Mensaje(u"Exportación cancelada: no se guardó ningún libro."_s);
        return;
    }
    const bool hecho = enError.paso([] {
        Componentes::Progreso().CerrarProgreso();
    }) && enError.paso([] {
        if (!excel)
            throw RuntimeError(ErrorNumber::ObjectRequired,
                               u"Se requiere un objeto: no hay una hoja de cálculo abierta"_s,
                               u"ModExportarExcel"_s);
        guardarConProgreso(*excel);
        if (!excel->openedOnDesktop())
            Componentes::General().Mensaje(
                u"El libro quedó guardado en %1\nNo hay en el escritorio un programa que "
                u"abra libros de Excel (.xlsx)."_s.arg(
                    QDir::toNativeSeparators(excel->savedPath())));
    }) && enError.paso([&] {
        if (vistaPrevia && excel)
            excel->activeSheet().printPreview(avancePaginas());
    });
    Q_UNUSED(hecho);
    abandonar();
}

void rutaPagina(GridModel& grilla, const QString& titulo, ManejadorError& enError)
{
    QString archivo;
    const bool hecho =
        enError.paso([] { Componentes::Progreso().MostrarProgreso(u"Procesando"_s, 0); }) &&
        enError.paso([] {
            Componentes::Progreso().ActualizarProgreso(0, u"Procesando datos"_s, u"Exportando"_s,
                                                       u"Espere porfavor..."_s);
        }) &&
        enError.paso([&] { archivo = nombrePagina(); }) &&
        enError.paso([&] { ModExportarExcel::GeneraHTML(archivo, grilla, titulo); }) &&
        enError.paso([&] {
            // A page abandoned half-way was never put in place: nothing to open.
            if (!QFileInfo::exists(archivo))
                return;
            if (!DesktopOpener::instance().open(archivo))
                Componentes::General().Mensaje(
                    u"La página quedó guardada en %1\nEl escritorio no pudo abrirla con un "
                    u"programa."_s.arg(QDir::toNativeSeparators(archivo)));
        });
    Q_UNUSED(hecho);
    Componentes::Progreso().CerrarProgreso();
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
