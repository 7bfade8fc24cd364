#include "dialogs/FrmConsComprobantes.h"

#include "components/Atender.h"
#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "dialogs/LecturaProtegida.h"
#include "platform/controls/ListErrors.h"
#include "platform/controls/ListView.h"
#include "platform/controls/ResourceIcon.h"
#include "platform/controls/Twips.h"
#include "platform/sql/SqlDialect.h"
#include "session/ModGlobal.h"

#include <QHBoxLayout>
#include <QHash>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using ReglasConsulta::Familia;

namespace {

// The images in the order and with the tags callers and rows count on.
const char* const Etiquetas[] = {"PR", "Anulado",  "Aprobado", "FC", "NC", "ND",
                                 "OT", "Generico", "T3",       "OC", "OCG"};

struct Columna
{
    QString encabezado;
    int equis; // width: a run of this many capital X in the window's font
};

QList<Columna> columnasDe(Familia familia, bool usaReferencia)
{
    QList<Columna> c;
    switch (familia) {
    case Familia::Generales:
        c = {{u"FECHA"_s, 13}, {u"COMPROBANTE"_s, 15}, {u"ID"_s, 5}, {u"NOMBRE"_s, 21}};
        if (usaReferencia)
            c.append({u"Referencia"_s, 21});
        c.append({u"IMPORTE"_s, 10});
        break;
    case Familia::Compras:
        c = {{u"FECHA"_s, 13},  {u"COMPROBANTE"_s, 15}, {u"PROVEEDOR"_s, 15},
             {u"NOMBRE"_s, 21}, {u"CONCEPTO"_s, 21},    {u"IMPORTE"_s, 10}};
        break;
    case Familia::PR:
        c = {{u"FECHA"_s, 13}, {u"COMPROBANTE"_s, 15}, {u"NOMBRE"_s, 21}};
        if (usaReferencia)
            c.append({u"Referencia"_s, 21});
        c.append({u"IMPORTE"_s, 10});
        break;
    case Familia::T3:
        c = {{u"Nº Int."_s, 7}, {u"FECHA"_s, 13},    {u"COMPROBANTE"_s, 15},
             {u"ID"_s, 4},      {u"FH Envio"_s, 10}, {u"FH Recep"_s, 10}};
        break;
    case Familia::Ordenes:
        c = {{u"FECHA"_s, 13},
             {u"PROVEEDOR"_s, 13},
             {u"COMPROBANTE"_s, 17},
             {u"IMPORTE"_s, 9},
             {u"COMENTARIOS"_s, 15}};
        break;
    case Familia::Ninguna:
        break;
    }
    return c;
}

// Dates and amounts sort as such, not by their text, and amounts align
// right; the rest is text.
ListViewModel::SortAs ordenDe(const QString& encabezado)
{
    for (const char* fecha : {"FECHA", "FH Envio", "FH Recep"})
        if (encabezado == QLatin1String(fecha))
            return ListViewModel::SortAs::Date;
    for (const char* numero : {"IMPORTE", "ID", "Nº Int."})
        if (encabezado == QString::fromUtf8(numero))
            return ListViewModel::SortAs::Number;
    return ListViewModel::SortAs::Text;
}

} // namespace

FrmConsComprobantes::FrmConsComprobantes(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"FrmConsComprobantes"_s);
    setWindowTitle(u"Consulta de Comprobantes"_s);
    setModal(true);

    // The type's icon repeats what the list is; the others mark a state.
    const QHash<QString, QString> significados = {{u"Anulado"_s, u"Anulado"_s},
                                                  {u"Aprobado"_s, u"Aprobado"_s},
                                                  {u"OCG"_s, u"Con garantía"_s}};
    for (const char* etiqueta : Etiquetas)
        ImageList1.add(resourceIcon(u":/comprobantes/"_s + QLatin1String(etiqueta)),
                       QLatin1String(etiqueta), significados.value(QLatin1String(etiqueta)));
    ListView1.setIcons(&ImageList1);
    ListView1.setSmallIcons(&ImageList1);

    ListView1Vista = new ListView(&ListView1, this);
    ListView1Vista->setObjectName(u"ListView1"_s);
    // The dialog's free width goes to the last column, not to an empty band.
    ListView1Vista->setLastColumnFills(true);
    CmdAceptar = new QPushButton(u"&Aceptar"_s, this);
    CmdAceptar->setObjectName(u"CmdAceptar"_s);
    CmdCancelar = new QPushButton(u"&Cancelar"_s, this);
    CmdCancelar->setObjectName(u"CmdCancelar"_s);
    ListView1Vista->setAccessibleName(u"Comprobantes"_s);
    ListView1Vista->setAccessibleDescription(
        u"Elija uno con Aceptar, Intro o doble clic; un clic en un título ordena por esa columna."_s);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(CmdAceptar);
    botones->addWidget(CmdCancelar);
    auto* ventana = new QVBoxLayout(this);
    ventana->addWidget(ListView1Vista);
    ventana->addLayout(botones);
    resize(pixelsFromTwips(10800), pixelsFromTwips(5400));

    connect(CmdAceptar, &QPushButton::clicked, this,
            [this] { Atender([this] { CmdAceptar_Click(); }); });
    connect(CmdCancelar, &QPushButton::clicked, this,
            [this] { Atender([this] { CmdCancelar_Click(); }); });
    connect(ListView1Vista, &ListView::dblClick, this,
            [this] { Atender([this] { ListView1_DblClick(); }); });
    connect(ListView1Vista, &ListView::keyPress, this,
            [this](int tecla) { Atender([&] { ListView1_KeyPress(tecla); }); });
    connect(ListView1Vista, &ListView::columnClick, this,
            [this](int columna) { Atender([&] { ListView1_ColumnClick(columna); }); });
    // The rows are the database's: their texts are never edited here.
    connect(&ListView1, &ListViewModel::beforeLabelEdit, this,
            [](int, bool* cancelar) { *cancelar = true; });
    connect(&ListView1, &ListViewModel::afterLabelEdit, this,
            [](int, const QString&, bool* cancelar) { *cancelar = true; });
}

FrmConsComprobantes::~FrmConsComprobantes() = default;

int FrmConsComprobantes::Mostrar()
{
    Cargar();
    ListView1Vista->setFocus();
    return exec();
}

void FrmConsComprobantes::Cargar()
{
    if (m_cargado)
        return;
    m_cargado = true;
    try {
        Form_Load();
    } catch (...) {
        Descargar();
        throw;
    }
}

void FrmConsComprobantes::Form_Load()
{
    // A key the dialog cannot list (its rows would have no columns), or one
    // whose query needs a condition the caller did not give, is refused
    // before anything runs on the database.
    const ReglasConsulta::Clave clave = ReglasConsulta::Normalizar(TC);
    if (ReglasConsulta::FamiliaDe(clave.TC) == Familia::Ninguna)
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           u"La consulta de comprobantes no lista el tipo \"%1\""_s.arg(TC),
                           objectName());
    if (ReglasConsulta::FiltroRequerido(clave) && Filtro.trimmed().isEmpty())
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           u"La consulta de comprobantes \"%1\" necesita un filtro"_s.arg(TC),
                           objectName());
    if (const qsizetype p = ReglasConsulta::PuntoYComaFuera(Filtro);
        p >= 0 && ReglasConsulta::UsaFiltro(clave))
        throw RuntimeError(
            ErrorNumber::InvalidArgument,
            u"El filtro tiene un \";\" fuera de comillas y comentarios (carácter "
            u"%1): una condición no lleva punto y coma ni otra sentencia"_s.arg(p + 1),
            objectName());

    ListView1.clearRows();
    m_usaReferencia =
        ModGlobal::Cfg(u"UsaReferenciaPresupuestos"_s).compare(u"SI", Qt::CaseInsensitive) == 0;
    m_clave = clave;
    TC = m_clave.TC;
    Encolumnar();
    Componentes::General().PrepararFormulario(this, false);
    ModGlobal::DecorarFormulario(this);
    m_indiceTC = ObtieneIndiceImagen(TC);

    CompDatos& datos = Componentes::Datos();
    {
        // The caller's condition goes in as written: the query can only read.
        const LecturaProtegida soloLectura(datos);
        const QString sql = ReglasConsulta::TextoSQL(m_clave, CodigoTC(), Filtro);
        soloLectura.exigirUnaConsulta(sql);
        m_rs = datos.AbrirRecordset(sql);
        if (!m_rs->atBof()) {
            while (!m_rs->atEof()) {
                AgregarFila();
                m_rs->moveNext();
            }
        }
        datos.CerrarRecordset(m_rs);
    }
    // Outside the read-only transaction, which would refuse it.
    ModGlobal::ReintentarRegistroAcceso();
}

QString FrmConsComprobantes::CodigoTC() const
{
    return Componentes::General().CompletarCodigo(TC.trimmed(), 4);
}

void FrmConsComprobantes::Descargar()
{
    hide();
    m_rs.reset();
    ListView1.clearRows();
    ListView1.clearColumns();
    ListView1.setSorted(false);
    ListView1.setSortKey(0);
    ListView1.setSortOrder(ListViewModel::SortOrder::Ascending);
    m_cargado = false;
}

void FrmConsComprobantes::Encolumnar()
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"Encolumnar"_s);
    enError.paso([&] { ListView1.clearColumns(); });
    for (const Columna& c : columnasDe(FamiliaTC(), m_usaReferencia)) {
        enError.paso([&] {
            const int ancho = fontMetrics().horizontalAdvance(QString(c.equis, u'X'));
            const ListViewModel::SortAs orden = ordenDe(c.encabezado);
            const int columna =
                ListView1.addColumn({}, c.encabezado, twipsFromPixels(ancho),
                                    c.encabezado == u"IMPORTE"_s ? Qt::AlignRight : Qt::AlignLeft);
            ListView1.setColumnSortAs(columna, orden);
        });
        if (enError.salio())
            return;
    }
}

qint16 FrmConsComprobantes::ObtieneIndiceImagen(const QString& clave) const
{
    const auto buscar = [this](const QString& texto) -> qint16 {
        for (int i = 1; i <= ImageList1.count(); ++i)
            if (ImageList1.tag(i).trimmed().compare(texto.trimmed(), Qt::CaseInsensitive) == 0)
                return static_cast<qint16>(i);
        return -1;
    };
    const qint16 indice = buscar(clave);
    return indice >= 0 ? indice : buscar(u"Generico"_s);
}

int FrmConsComprobantes::columna(const QString& encabezado) const
{
    for (int c = 0; c < ListView1.columns(); ++c)
        if (ListView1.column(c).text == encabezado)
            return c;
    throw RuntimeError(ListErrorNumber::InvalidProperty,
                       u"La lista no tiene la columna \"%1\""_s.arg(encabezado), objectName());
}

void FrmConsComprobantes::escribir(int fila, const QString& encabezado, const QString& texto)
{
    ListView1.setText(fila, columna(encabezado), texto);
}

QString FrmConsComprobantes::campo(const QString& nombre) const
{
    // A date shows as the server gives it on every backend.
    return Componentes::General().ValorNoNulo(dateFromStoredText(m_rs->field(nombre)));
}

bool FrmConsComprobantes::campoSi(const QString& nombre) const
{
    const QVariant valor = m_rs->field(nombre);
    if (valor.isNull())
        return false;
    if (valor.typeId() == QMetaType::Bool)
        return valor.toBool();
    bool numero = false;
    const double n = valor.toDouble(&numero);
    if (numero)
        return n != 0;
    const QString texto = valor.toString().trimmed();
    return texto.compare(u"true", Qt::CaseInsensitive) == 0 ||
           texto.compare(u"Verdadero", Qt::CaseInsensitive) == 0;
}

void FrmConsComprobantes::AgregarFila()
{
    const Familia familia = FamiliaTC();
    int icono = m_indiceTC;
    switch (familia) {
    case Familia::Generales:
        icono = ObtieneIndiceImagen(TC);
        if (campoSi(u"ANULADA"_s))
            icono = ObtieneIndiceImagen(u"Anulado"_s);
        else if (campoSi(u"Aprobado"_s))
            icono = ObtieneIndiceImagen(u"Aprobado"_s);
        break;
    case Familia::Compras:
    case Familia::PR:
        icono = ObtieneIndiceImagen(TC);
        if (campoSi(u"ANULADA"_s))
            icono = ObtieneIndiceImagen(u"Anulado"_s);
        break;
    case Familia::Ordenes:
        icono = ObtieneIndiceImagen(TC);
        if (campoSi(u"Garantia"_s))
            icono = ObtieneIndiceImagen(u"OCG"_s);
        if (campoSi(u"ANULADA"_s))
            icono = ObtieneIndiceImagen(u"Anulado"_s);
        break;
    case Familia::T3:
    case Familia::Ninguna:
        break;
    }

    const int fila = familia == Familia::T3 ? ListView1.addRow({}, {}, 0, icono)
                                            : ListView1.addRow({}, {}, icono, icono);
    switch (familia) {
    case Familia::Generales: {
        escribir(fila, u"FECHA"_s, campo(u"Fecha"_s));
        escribir(fila, u"COMPROBANTE"_s, campo(u"IdComprobante"_s));
        const bool conComplemento = TC.compare(u"FC", Qt::CaseInsensitive) == 0 ||
                                    TC.compare(u"OT", Qt::CaseInsensitive) == 0;
        if (conComplemento)
            escribir(fila, u"ID"_s, campo(u"IdComplemento"_s));
        escribir(fila, u"NOMBRE"_s, campo(u"Nombre"_s));
        escribir(fila, u"IMPORTE"_s, campo(u"Importe"_s));
        break;
    }
    case Familia::Compras:
        escribir(fila, u"FECHA"_s, campo(u"Fecha"_s));
        escribir(fila, u"COMPROBANTE"_s, campo(u"IdComprobante"_s));
        escribir(fila, u"PROVEEDOR"_s, campo(u"Cuenta"_s));
        escribir(fila, u"NOMBRE"_s, campo(u"Nombre"_s));
        escribir(fila, u"IMPORTE"_s, campo(u"Importe"_s));
        break;
    case Familia::PR:
        escribir(fila, u"FECHA"_s, campo(u"Fecha"_s));
        escribir(fila, u"COMPROBANTE"_s, campo(u"IdComprobante"_s));
        escribir(fila, u"NOMBRE"_s, campo(u"Nombre"_s));
        // The reference a budget carries is its comments, which every PR
        // query selects.
        if (m_usaReferencia)
            escribir(fila, u"Referencia"_s, campo(u"Comentarios"_s));
        escribir(fila, u"IMPORTE"_s, campo(u"Importe"_s));
        break;
    case Familia::T3:
        escribir(fila, u"Nº Int."_s, campo(u"ID"_s));
        escribir(fila, u"FECHA"_s, campo(u"Fecha"_s));
        escribir(fila, u"COMPROBANTE"_s, campo(u"IdComprobante"_s));
        escribir(fila, u"ID"_s, campo(u"IdComplemento"_s));
        escribir(fila, u"FH Envio"_s, campo(u"FECHAENVIADO"_s));
        escribir(fila, u"FH Recep"_s, campo(u"FECHARECIBIDO"_s));
        break;
    case Familia::Ordenes: {
        escribir(fila, u"FECHA"_s, campo(u"Fecha"_s));
        const QString cuenta = campo(u"Cuenta"_s);
        escribir(fila, u"PROVEEDOR"_s, cuenta + u' ' + campo(u"Nombre"_s));
        // Accept hands back the account itself: cutting the cell at 9
        // characters gives a piece of the name when the code is shorter.
        ListView1.setTag(fila, cuenta);
        escribir(fila, u"COMPROBANTE"_s, campo(u"IdComprobante"_s));
        escribir(fila, u"IMPORTE"_s, campo(u"Importe"_s));
        escribir(fila, u"COMENTARIOS"_s, campo(u"Comentarios"_s));
        break;
    }
    case Familia::Ninguna:
        break;
    }
}

void FrmConsComprobantes::CmdAceptar_Click()
{
    const int fila = ListView1.selectedRow();
    if (fila < 0) {
        NroComprobante.clear();
    } else {
        const auto celda = [&](const QString& encabezado) {
            return ListView1.text(fila, columna(encabezado));
        };
        switch (FamiliaTC()) {
        case Familia::Generales:
            NroComprobante = celda(u"COMPROBANTE"_s);
            IdComplemento = celda(u"ID"_s);
            break;
        case Familia::Compras:
            NroComprobante = celda(u"COMPROBANTE"_s);
            Proveedor = celda(u"PROVEEDOR"_s);
            break;
        case Familia::PR:
            NroComprobante = celda(u"COMPROBANTE"_s);
            IdComplemento = u"0"_s;
            break;
        case Familia::T3:
            NroComprobante = ListView1.text(fila, 0);
            IdComplemento = u"0"_s;
            break;
        case Familia::Ordenes:
            NroComprobante = celda(u"COMPROBANTE"_s);
            IdComplemento = u"0"_s;
            Proveedor = ListView1.row(fila).tag;
            break;
        case Familia::Ninguna:
            break;
        }
    }
    done(QDialog::Accepted);
}

void FrmConsComprobantes::CmdCancelar_Click()
{
    setResult(QDialog::Rejected);
    QDialog::reject();
    Descargar();
}

void FrmConsComprobantes::reject()
{
    CmdCancelar_Click();
}

void FrmConsComprobantes::ListView1_DblClick()
{
    CmdAceptar_Click();
}

void FrmConsComprobantes::ListView1_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        CmdAceptar_Click();
}

void FrmConsComprobantes::ListView1_ColumnClick(int columna)
{
    using Orden = ListViewModel::SortOrder;
    ListView1.setSorted(true);
    ListView1.setSortKey(columna);
    ListView1.setSortOrder(ListView1.sortOrder() == Orden::Ascending ? Orden::Descending
                                                                     : Orden::Ascending);
}
