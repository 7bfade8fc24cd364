#include "dialogs/FrmCtrlCargosReales.h"

#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "dialogs/CargosSeleccionados.h"
#include "dialogs/FrmMenus.h"
#include "dialogs/InstanciaVentana.h"
#include "platform/controls/GridModel.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Twips.h"
#include "platform/sql/SqlDialect.h"
#include "platform/text/ValueText.h"
#include "session/ModGlobal.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMap>
#include <QPushButton>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kTituloCaja = u"Control de Cargos Reales"_s;
const QString kTituloCambio = u"Cambio de Importe"_s;
constexpr int kCritico = 16;

// Design of the window, in twips.
constexpr int kMargen = 120;
constexpr int kArribaTitulo = 30;
constexpr int kAltoTitulo = 240;
constexpr int kArribaLista = 285;
constexpr int kAnchoBoton = 1455;
constexpr int kAltoBoton = 360;
constexpr int kAncho = 12600;
constexpr int kAlto = 6600;

// What the platform refuses as a size: the resize skips the statement.
int tamanoValido(int twips)
{
    if (twips < 0)
        throw RuntimeError(380, u"Valor de propiedad no válido"_s, u"Form_Resize"_s);
    return pixelsFromTwips(twips);
}

int twips(int pixeles)
{
    return twipsFromPixels(pixeles);
}

// The operator's notation, exact and without grouping: the accept reads the
// cell back as the very same amount.
QString textoImporte(const Currency& importe)
{
    return importe.toString(QLocale::system());
}

// Both amounts a text like "1.500" may mean, written as the cell would show
// them; one beyond the range stays as it would be typed.
QString explicarAmbiguo(const QString& escrito)
{
    const QString miles = QLocale::system().groupSeparator();
    const auto lectura = [](const QString& texto) {
        Currency importe;
        try {
            if (Currency::parse(texto, importe))
                return textoImporte(importe);
        } catch (const RuntimeError&) {
        }
        return texto;
    };
    return u"\"%1\" puede leerse de dos maneras: en su configuración regional %2 separa los "
           u"miles. Escriba %3 si son miles o %4 si son decimales."_s.arg(
               escrito, miles == u"."_s ? u"el punto"_s : u"la coma"_s,
               lectura(QString(escrito).remove(miles)), lectura(escrito));
}

} // namespace

FrmCtrlCargosReales& FrmCtrlCargosReales::Instancia()
{
    return InstanciaVentana<FrmCtrlCargosReales>::obtener();
}

bool FrmCtrlCargosReales::HayInstancia()
{
    return InstanciaVentana<FrmCtrlCargosReales>::actual();
}

FrmCtrlCargosReales::FrmCtrlCargosReales()
{
    setObjectName(u"FrmCtrlCargosReales"_s);
    setWindowTitle(u"Control de cargos Reales"_s);
    setModal(true);

    Label1 = new QLabel(u"Control de Cargos Reales"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(rectFromTwips(kMargen, kArribaTitulo, kAncho - 2 * kMargen, kAltoTitulo));

    ListView1.setObjectName(u"ListView1"_s);
    ListView1.setCheckboxes(true);
    ListView1.setLabelEdit(ListViewModel::LabelEdit::Manual);
    connect(&ListView1, &ListViewModel::beforeLabelEdit, this,
            [](int, bool* cancelar) { *cancelar = true; });
    ListView1Vista = new ListView(&ListView1, this);
    ListView1Vista->setObjectName(u"ListView1"_s);
    ListView1Vista->setGeometry(
        rectFromTwips(kMargen, kArribaLista, kAncho - 2 * kMargen, kAlto - 1100));
    connect(ListView1Vista, &ListView::mouseDown, this, &FrmCtrlCargosReales::ListView1_MouseDown);
    ListView1Vista->setAccessibleName(u"Cargos pendientes"_s);
    ListView1Vista->setAccessibleDescription(
        u"Espacio marca el cargo a tomar; la tecla de menú sobre uno marcado ofrece Cambiar "
        u"Importe."_s);
    Label1->setBuddy(ListView1Vista);

    CmdAceptar = new QPushButton(u"Aceptar"_s, this);
    CmdAceptar->setObjectName(u"CmdAceptar"_s);
    CmdAceptar->setAutoDefault(false);
    CmdAceptar->setGeometry(
        rectFromTwips(0, kAlto - kAltoBoton - kAltoTitulo - 180, kAnchoBoton, kAltoBoton));
    connect(CmdAceptar, &QPushButton::clicked, this, &FrmCtrlCargosReales::CmdAceptar_Click);
    CmdAceptar->setAccessibleDescription(u"Devuelve los cargos marcados (también Escape)."_s);

    // The window sees every key before its controls do (Esc accepts).
    ListView1Vista->installEventFilter(this);
    CmdAceptar->installEventFilter(this);

    resize(pixelsFromTwips(kAncho), pixelsFromTwips(kAlto));
}

int FrmCtrlCargosReales::Mostrar()
{
    try {
        Form_Load();
    } catch (...) {
        Form_Unload();
        throw;
    }
    if (m_descargada)
        return result();
    m_mostrando = true;
    const int resultado = exec();
    m_mostrando = false;
    // Deleted once the caller is back in its own event loop, never inside this one.
    if (m_descargada)
        deleteLater();
    return resultado;
}

void FrmCtrlCargosReales::Form_Load()
{
    Componentes::General().PrepararFormulario(this, 0);
    ModGlobal::DecorarFormulario(this);
    InicializaGrid();
    CargarDatos();
}

void FrmCtrlCargosReales::InicializaGrid()
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"InicializaGrid"_s);
    const auto equis = [this](int cuantas) {
        return twips(fontMetrics().horizontalAdvance(QString(cuantas, u'X')));
    };
    enError.paso([&] {
        ListView1.clearRows();
        m_idsLeidos.clear();
    });
    enError.paso([&] { ListView1.clearColumns(); });
    enError.paso([&] { ListView1.addColumn({}, u"Fecha"_s, equis(14)); });
    enError.paso([&] { ListView1.addColumn({}, u"Matricula"_s, equis(10)); });
    enError.paso([&] { ListView1.addColumn({}, u"Concepto"_s, equis(25)); });
    enError.paso([&] { ListView1.addColumn({}, u"Importe Pendiente"_s, equis(15)); });
    enError.paso([&] { ListView1.addColumn({}, u"Observaciones"_s, equis(30)); });
}

void FrmCtrlCargosReales::CargarDatos()
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"CargarDatos"_s);
    CompGeneral& general = Componentes::General();
    CompDatos& datos = Componentes::Datos();

    enError.paso([&] {
        Label1->setText(Cliente + u' ' +
                        datos.BuscarCampo(u"ma_cuentas"_s, Cliente, u"Descripcion"_s, u"Codigo"_s,
                                          8, QString()));
    });
    // The account goes in as a quoted literal: a code with an apostrophe is a
    // code like any other.
    const QString sql = u"SELECT * FROM V_MV_CARGOSAPLICADOS WHERE CUENTA = "_s +
                        sqlQuote(Cliente) + u" AND ((SALDO <> 0) OR (SALDO IS NULL))"_s;
    std::unique_ptr<Recordset> rs;
    if (!enError.paso([&] { rs = datos.AbrirRecordset(sql); }) || !rs || rs->atBof())
        return;

    const auto texto = [&](const QString& campo) {
        return general.ValorNoNulo(rs->field(campo)).trimmed();
    };
    while (!rs->atEof()) {
        int fila = -1;
        if (!enError.paso([&] {
                fila = ListView1.addRow();
                m_idsLeidos.append(QString());
            }))
            return;
        if (fila >= 0) {
            // A null date is an empty cell; the charge is listed all the same.
            if (!enError.paso([&] {
                    ListView1.setText(fila, Fecha,
                                      valueText(dateFromStoredText(rs->field(u"Fecha"_s))));
                }))
                return;
            // The key carries the ID to the accept. A second row with an ID
            // already listed cannot have it as its key; it keeps the ID it was
            // read with, and the accept judges it.
            if (!enError.paso([&] {
                    const QString id = texto(u"ID"_s);
                    m_idsLeidos[fila] = id;
                    const QString clave = u"D"_s + id;
                    if (ListView1.findKey(clave) < 0)
                        ListView1.setKey(fila, clave);
                }))
                return;
            if (!enError.paso([&] { ListView1.setText(fila, Matricula, texto(u"Matricula"_s)); }) ||
                !enError.paso([&] { ListView1.setText(fila, Concepto, texto(u"Concepto"_s)); }))
                return;
            if (!enError.paso([&] {
                    const bool sinSaldo = rs->field(u"Saldo"_s).isNull();
                    const Currency importe = general.ValorNumerico(texto(u"Importe"_s));
                    const Currency saldo = general.ValorNumerico(texto(u"Saldo"_s));
                    ListView1.setText(fila, ImportePendiente,
                                      textoImporte(sinSaldo ? importe : saldo));
                }))
                return;
            if (!enError.paso(
                    [&] { ListView1.setText(fila, Observaciones, texto(u"Observaciones"_s)); }))
                return;
        }
        if (!enError.paso([&] { rs->moveNext(); }))
            return;
    }
}

void FrmCtrlCargosReales::ListView1_MouseDown(Qt::MouseButton boton, const QPoint& puntoGlobal)
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"Listview1_MouseDown"_s);
    const int fila = ListView1.selectedRow();
    if (fila < 0)
        return;
    const QString actual = ListView1.text(fila, ImportePendiente);
    if (boton != Qt::RightButton || !ListView1.checked(fila))
        return;

    // Only a choice made in this pop-up counts: a dismissed one leaves the
    // previous code in PRespuesta.
    QAction* elegida = nullptr;
    FrmMenus* menus = nullptr;
    if (!enError.paso([&] {
            menus = &FrmMenus::Instancia();
            elegida = menus->MostrarMenu(u"MNU_EmergenteXXVIII"_s, puntoGlobal);
        }) ||
        !elegida || menus->PRespuesta.compare(u"CambiarImporte"_s, Qt::CaseInsensitive) != 0)
        return;

    CompGeneral& general = Componentes::General();
    QString respuesta;
    if (!enError.paso([&] {
            respuesta =
                general.InputBox(u"Ingrese el Nuevo Importe debe ser Menor o Igual a "_s + actual,
                                 kTituloCaja, actual);
        }))
        return;
    // Closing the box gives the empty text too: nothing was asked to change.
    if (respuesta.trimmed().isEmpty())
        return;
    Currency nuevo;
    Currency::Typed leido = Currency::Typed::NotAmount;
    try {
        leido = Currency::parseTyped(respuesta, QLocale::system(), nuevo);
    } catch (const RuntimeError& error) {
        // Beyond the currency's range: no amount either, refused alike.
        if (error.number() != ErrorNumber::Overflow)
            throw;
        general.MsgBox(u"\"%1\" no es un importe: queda fuera del rango de los importes. "
                       u"Escriba un número, por ejemplo 1250,50."_s.arg(respuesta.trimmed()),
                       kCritico, kTituloCambio);
        return;
    }
    if (leido == Currency::Typed::Ambiguous) {
        general.MsgBox(explicarAmbiguo(respuesta.trimmed()), kCritico, kTituloCambio);
        return;
    }
    if (leido == Currency::Typed::NotAmount) {
        general.MsgBox(u"\"%1\" no es un importe. Escriba un número, por ejemplo 1250,50."_s.arg(
                           respuesta.trimmed()),
                       kCritico, kTituloCambio);
        return;
    }
    if (nuevo.units() < 0) {
        general.MsgBox(u"El Importe no puede ser negativo"_s, kCritico, kTituloCambio);
        return;
    }
    // What the accept will hand back, not the text as typed.
    QString nuevoTexto = textoImporte(nuevo);
    if (nuevo.units() > general.ValorNumerico(actual).units()) {
        general.MsgBox(u"El Importe debe ser menor o igual al Importe original"_s, kCritico,
                       kTituloCambio);
        nuevoTexto = actual;
    }
    enError.paso([&] { ListView1.setText(fila, ImportePendiente, nuevoTexto); });
}

QString FrmCtrlCargosReales::idDeFila(int fila) const
{
    const QString clave = ListView1.row(fila).key;
    return clave.isEmpty() ? m_idsLeidos.value(fila) : clave.mid(1);
}

QString FrmCtrlCargosReales::describirFila(int fila) const
{
    QStringList partes;
    for (int columna : {Fecha, Concepto, ImportePendiente})
        if (!ListView1.text(fila, columna).isEmpty())
            partes << ListView1.text(fila, columna);
    return u"fila %1 (%2)"_s.arg(QString::number(fila + 1), partes.join(u", "_s));
}

void FrmCtrlCargosReales::CmdAceptar_Click()
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"CmdAceptar_Click"_s);
    CompGeneral& general = Componentes::General();

    // The list is built apart and handed over whole: a charge that cannot go
    // back under its own ID stops the accept, and the caller's list stays as
    // it was.
    std::vector<CargoSeleccionado> cargos;
    QStringList rechazos;
    QMap<qint16, int> filaDeId;
    for (int fila = 0; fila < ListView1.rows(); ++fila) {
        if (!ListView1.checked(fila))
            continue;
        const QString idTexto = idDeFila(fila);
        bool esNumero = false;
        const double id = idTexto.toDouble(&esNumero);
        const double redondeado = esNumero ? std::nearbyint(id) : 0;
        if (!esNumero || redondeado < std::numeric_limits<qint16>::min() ||
            redondeado > std::numeric_limits<qint16>::max()) {
            rechazos << u"El cargo \"%1\" de la %2 no puede devolverse: su número no está entre "
                        u"-32768 y 32767."_s.arg(idTexto, describirFila(fila));
            continue;
        }
        const auto idCargo = static_cast<qint16>(redondeado);
        if (filaDeId.contains(idCargo)) {
            rechazos << u"El cargo %1 está marcado dos veces (%2 y %3): marque solo una de sus "
                        u"filas."_s.arg(idTexto, describirFila(filaDeId.value(idCargo)),
                                        describirFila(fila));
            continue;
        }
        filaDeId.insert(idCargo, fila);
        CargoSeleccionado cargo;
        cargo.IdCargo = idCargo;
        bool omitido = true;
        if (!enError.paso([&] {
                cargo.ImporteCargo = general.ValorNumerico(ListView1.text(fila, ImportePendiente));
                omitido = false;
            }))
            return;
        if (omitido)
            rechazos << u"No se pudo leer el importe de la %1."_s.arg(describirFila(fila));
        else
            cargos.push_back(cargo);
    }
    if (!rechazos.isEmpty()) {
        general.MsgBox(rechazos.join(u'\n'), kCritico, kTituloCaja);
        return;
    }
    cargos.push_back(CargoSeleccionado{});
    CargosSeleccionados() = std::move(cargos);
    setResult(QDialog::Accepted);
    Form_Unload();
}

void FrmCtrlCargosReales::Form_Resize()
{
    ManejadorError omitir = ManejadorError::omitiendo();
    const int ancho = twips(width());
    const int alto = twips(height());
    omitir.paso(
        [&] { ListView1Vista->resize(tamanoValido(ancho - 240), ListView1Vista->height()); });
    omitir.paso(
        [&] { ListView1Vista->resize(ListView1Vista->width(), tamanoValido(alto - 1100)); });
    omitir.paso([&] {
        CmdAceptar->move(CmdAceptar->x(), pixelsFromTwips(alto - twips(CmdAceptar->height()) -
                                                          twips(Label1->height()) - 180));
    });
    omitir.paso([&] { Componentes::General().CentrarControl(CmdAceptar); });
    omitir.paso([&] { Label1->resize(ListView1Vista->width(), Label1->height()); });
}

void FrmCtrlCargosReales::Form_Unload()
{
    if (m_descargada)
        return;
    m_descargada = true;
    hide();
    if (InstanciaVentana<FrmCtrlCargosReales>::actual() == this)
        InstanciaVentana<FrmCtrlCargosReales>::actual() = nullptr;
    if (!m_mostrando)
        deleteLater();
}

void FrmCtrlCargosReales::PintarFila(GridModel& MSFlexGrid1, qint32 Fila, qint32 Color)
{
    const int columna = MSFlexGrid1.col();
    MSFlexGrid1.setRow(Fila);
    for (int c = 0; c < MSFlexGrid1.cols(); ++c) {
        MSFlexGrid1.setCol(c);
        MSFlexGrid1.setCellBackColor(Color);
    }
    MSFlexGrid1.setCol(columna);
}

bool FrmCtrlCargosReales::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objeto, evento);
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla == Qt::Key_Escape) {
        CmdAceptar_Click();
        return true;
    }
    // The keyboard's menu key does what the right button does, under the row.
    if (objeto == ListView1Vista && tecla == Qt::Key_Menu && ListView1.selectedRow() >= 0) {
        const QRect celda = ListView1Vista->visualRect(ListView1.index(ListView1.selectedRow(), 0));
        ListView1_MouseDown(Qt::RightButton,
                            ListView1Vista->viewport()->mapToGlobal(celda.bottomLeft()));
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void FrmCtrlCargosReales::keyPressEvent(QKeyEvent* evento)
{
    // Esc accepts, like the button; the dialog has no cancel.
    if (evento->key() == Qt::Key_Escape) {
        CmdAceptar_Click();
        return;
    }
    QDialog::keyPressEvent(evento);
}

void FrmCtrlCargosReales::resizeEvent(QResizeEvent* evento)
{
    QDialog::resizeEvent(evento);
    Form_Resize();
}

void FrmCtrlCargosReales::closeEvent(QCloseEvent* evento)
{
    QDialog::closeEvent(evento);
    if (evento->isAccepted())
        Form_Unload();
}
