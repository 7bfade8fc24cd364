#include "report/nucleo/ResultadoCarga.h"

#include "platform/controls/GridModel.h"
#include "platform/text/Currency.h"
#include "platform/text/RuntimeError.h"
#include "report/nucleo/ResumenCarga.h"

#include <algorithm>

namespace {

constexpr int ColumnaKg = 6;

const QString& nombreDe(int figura)
{
    static const QString nombres[] = {QStringLiteral("ancho"), QStringLiteral("largo"),
                                      QStringLiteral("espesor"), QStringLiteral("cantidad"),
                                      QStringLiteral("peso específico")};
    return nombres[figura];
}

// Files a figure under what it lacks or what is wrong with it.
void anotar(ResultadoCarga::Estado estado, int figura, QStringList& faltan, QStringList& dudosas)
{
    using Estado = ResultadoCarga::Estado;
    const bool femenino = figura == ResultadoCarga::Cantidad;
    switch (estado) {
    case Estado::Bien:
        return;
    case Estado::Falta:
        faltan << nombreDe(figura);
        return;
    case Estado::Cero:
        dudosas << nombreDe(figura) + QStringLiteral(" 0");
        return;
    case Estado::Negativo:
        dudosas << nombreDe(figura) +
                       (femenino ? QStringLiteral(" negativa") : QStringLiteral(" negativo"));
        return;
    case Estado::NoNumero:
        dudosas << nombreDe(figura) +
                       (femenino ? QStringLiteral(" no numérica") : QStringLiteral(" no numérico"));
        return;
    }
}

} // namespace

ResultadoCarga::Estado ResultadoCarga::estadoDe(QStringView texto)
{
    texto = texto.trimmed();
    if (texto.isEmpty())
        return Estado::Falta;
    // Most figures are plain numbers starting with a digit other than 0:
    // whatever their separators mean, they are at least 1.
    const bool menos = texto.startsWith(u'-');
    const QStringView cifras = menos ? texto.mid(1) : texto;
    bool simple = !cifras.isEmpty() && cifras.front() >= u'1' && cifras.front() <= u'9';
    for (qsizetype i = 1; simple && i < cifras.size(); ++i)
        simple = (cifras[i] >= u'0' && cifras[i] <= u'9') || cifras[i] == u'.' || cifras[i] == u',';
    if (simple)
        return menos ? Estado::Negativo : Estado::Bien;
    // Read as the amount its text is (so "0,00001" is 0, four decimals).
    Currency valor;
    try {
        if (!Currency::parse(texto.toString(), valor))
            return Estado::NoNumero;
    } catch (const RuntimeError&) {
        // Beyond the amounts' range: far from zero, on the side of its sign.
        return menos ? Estado::Negativo : Estado::Bien;
    }
    return valor.units() > 0 ? Estado::Bien : (valor.units() < 0 ? Estado::Negativo : Estado::Cero);
}

void ResultadoCarga::agregarLinea(int fila, bool ordenNueva, QStringView cantidad,
                                  QStringView ancho, QStringView largo, QStringView espesor)
{
    Linea linea;
    linea.fila = fila;
    linea.corrida = m_lineas.empty() ? 0 : m_lineas.back().corrida + (ordenNueva ? 1 : 0);
    const QStringView textos[FigurasDeLinea] = {ancho, largo, espesor, cantidad};
    for (int f = 0; f < FigurasDeLinea; ++f) {
        linea.estados[f] = estadoDe(textos[f]);
        linea.figuraDudosa = linea.figuraDudosa || linea.estados[f] != Estado::Bien;
    }
    m_lineas.push_back(linea);
}

bool ResultadoCarga::incompleta(const Insumo& insumo) const
{
    return insumo.peso != Estado::Bien || m_lineas[size_t(insumo.linea)].figuraDudosa;
}

int ResultadoCarga::material(const QString& codigo, QStringView descripcion)
{
    auto leido = m_materialLeido.constFind(codigo);
    if (leido == m_materialLeido.cend()) {
        const QString comoSeVe = codigo.trimmed();
        auto hallado = m_materialDe.constFind(comoSeVe);
        if (hallado == m_materialDe.cend()) {
            hallado = m_materialDe.insert(comoSeVe, int(m_materiales.size()));
            Material nuevo;
            nuevo.codigo = comoSeVe.isEmpty() ? QStringLiteral("(sin código)") : comoSeVe;
            nuevo.descripcion = descripcion.toString();
            m_materiales.push_back(std::move(nuevo));
        }
        leido = m_materialLeido.insert(codigo, *hallado);
    }
    return *leido;
}

void ResultadoCarga::agregarInsumo(int fila, int material, QStringView peso, Estado estadoPeso,
                                   double kilos)
{
    Insumo insumo;
    insumo.fila = fila;
    insumo.linea = int(m_lineas.size()) - 1;
    insumo.kilos = Currency::fromShownNumber(kilos).units();
    insumo.peso = estadoPeso;
    insumo.material = material;
    // The first specific weight its rows give.
    Material& m = m_materiales[size_t(material)];
    if (m.sinPeso && !peso.trimmed().isEmpty()) {
        m.pesoEspecifico = peso.toString();
        m.sinPeso = false;
    }
    m_insumos.push_back(insumo);
    ++m_lineas.back().insumos;
    sumarAlMaterial(m_insumos.back());
}

void ResultadoCarga::sumarAlMaterial(const Insumo& insumo)
{
    Material& m = m_materiales[size_t(insumo.material)];
    // A sum beyond the currency's range is told when the totals are asked.
    m.desborda = m.desborda || __builtin_add_overflow(m.kilos, insumo.kilos, &m.kilos);
    // A line's supply rows come together: a line is new to the material when
    // it is not the last one that used it.
    if (m.lineas.empty() || m.lineas.back() != insumo.linea)
        m.lineas.push_back(insumo.linea);
    if (incompleta(insumo)) {
        m_lineas[size_t(insumo.linea)].incompleta = true;
        m.desborda = m.desborda ||
                     __builtin_add_overflow(m.kilosIncompletos, insumo.kilos, &m.kilosIncompletos);
        if (m.ultimaIncompleta != insumo.linea) {
            m.ultimaIncompleta = insumo.linea;
            ++m.incompletas;
        }
    }
}

void ResultadoCarga::recortar(int filas)
{
    const auto fuera = [filas](const auto& x) { return x.fila >= filas; };
    m_lineas.erase(std::find_if(m_lineas.begin(), m_lineas.end(), fuera), m_lineas.end());
    m_insumos.erase(std::find_if(m_insumos.begin(), m_insumos.end(), fuera), m_insumos.end());
    for (Linea& linea : m_lineas) {
        linea.incompleta = false;
        linea.insumos = 0;
    }
    for (Material& m : m_materiales) {
        Material vacio;
        vacio.codigo = m.codigo;
        vacio.descripcion = m.descripcion;
        vacio.pesoEspecifico = m.pesoEspecifico;
        vacio.sinPeso = m.sinPeso;
        m = std::move(vacio);
    }
    for (const Insumo& insumo : m_insumos) {
        ++m_lineas[size_t(insumo.linea)].insumos;
        sumarAlMaterial(insumo);
    }
}

void ResultadoCarga::cerrar(const GridModel& grilla)
{
    // The lines of an order come together: its text is looked up once a run,
    // and an order met again in a later run keeps its number.
    QHash<QStringView, int> ordenDe;
    m_ordenes = 0;
    int corrida = -1, orden = 0;
    for (Linea& linea : m_lineas) {
        if (linea.corrida != corrida) {
            corrida = linea.corrida;
            const QStringView texto = grilla.textView(linea.fila, 1);
            const auto hallada = ordenDe.constFind(texto);
            if (hallada != ordenDe.cend()) {
                orden = *hallada;
            } else {
                orden = m_ordenes++;
                ordenDe.insert(texto, orden);
            }
        }
        linea.orden = orden;
    }
}

void ResultadoCarga::motivos(const Insumo& insumo, QStringList& faltan, QStringList& dudosas) const
{
    const Linea& linea = m_lineas[size_t(insumo.linea)];
    for (int f = 0; f < FigurasDeLinea; ++f)
        anotar(linea.estados[f], f, faltan, dudosas);
    anotar(insumo.peso, FigurasDeLinea, faltan, dudosas);
}

void ResultadoCarga::marcarIncompletas(GridModel& grilla) const
{
    if (grilla.cols() <= ColumnaKg)
        return;
    // The rows of one line usually share their reason: written once.
    QString motivo;
    int lineaDelMotivo = -1;
    Estado pesoDelMotivo = Estado::Bien;
    for (const Insumo& insumo : m_insumos) {
        if (!incompleta(insumo))
            continue;
        if (insumo.linea != lineaDelMotivo || insumo.peso != pesoDelMotivo) {
            QStringList faltan, dudosas;
            motivos(insumo, faltan, dudosas);
            motivo = ResumenCarga::Motivo(faltan, dudosas);
            lineaDelMotivo = insumo.linea;
            pesoDelMotivo = insumo.peso;
        }
        grilla.setNote(insumo.fila, ColumnaKg, motivo);
    }
}
