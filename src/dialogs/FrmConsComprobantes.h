#pragma once

#include "dialogs/ReglasConsulta.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ListViewModel.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class ListView;
class QPushButton;
class Recordset;

// "Consulta de Comprobantes": the suite's shared modal dialog that lists the
// vouchers of one type and hands the chosen one back to its caller.
//
// The caller sets TC (and Filtro where the key needs one), clears the results
// it will read, calls Mostrar() and then reads NroComprobante, IdComplemento
// and Proveedor; an empty NroComprobante means no voucher was chosen. Accept
// hides the dialog and keeps it loaded, so showing it again lists the same
// rows; cancel unloads it and leaves the results as they were.
class FrmConsComprobantes : public QDialog
{
    Q_OBJECT
public:
    explicit FrmConsComprobantes(QWidget* parent = nullptr);
    ~FrmConsComprobantes() override;

    // The calling contract.
    QString Filtro;
    QString TC;
    QString NroComprobante;
    QString IdComplemento;
    QString Proveedor;

    // Loads the dialog when it is not loaded (the load sequence) and shows it
    // modally. A failure of the load (an unknown key, a rejected query)
    // reaches the caller as a RuntimeError, with the dialog unloaded.
    int Mostrar();
    // The load sequence alone, when the dialog is not loaded yet: what
    // Mostrar() runs before showing, and all a caller that only reads the
    // list needs.
    void Cargar();
    bool Cargado() const { return m_cargado; }

    // Lays out the columns of the key's family.
    void Encolumnar();
    // The index of the image tagged `clave` (trimmed, without regard to case),
    // or that of "Generico" when none is.
    qint16 ObtieneIndiceImagen(const QString& clave) const;

    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void ListView1_DblClick();
    void ListView1_KeyPress(int keyAscii);
    void ListView1_ColumnClick(int columna);

    // The controls, by their suite names.
    ListViewModel ListView1;
    ImageList ImageList1;
    ListView* ListView1Vista = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* CmdCancelar = nullptr;

    // The state the load sequence leaves.
    bool EsPendiente() const { return m_clave.EsPendiente; }
    bool SinAprobar() const { return m_clave.SinAprobar; }
    bool UsaReferencia() const { return m_usaReferencia; }
    ReglasConsulta::Familia FamiliaTC() const { return ReglasConsulta::FamiliaDe(TC); }
    // TC as the TC column holds it.
    QString CodigoTC() const;

public slots:
    void reject() override;

private:
    void Form_Load();

    void Descargar();
    void AgregarFila();
    int columna(const QString& encabezado) const;
    void escribir(int fila, const QString& encabezado, const QString& texto);
    QString campo(const QString& nombre) const;
    bool campoSi(const QString& nombre) const;

    ReglasConsulta::Clave m_clave;
    bool m_usaReferencia = false;
    bool m_cargado = false;
    qint16 m_indiceTC = 0;
    std::unique_ptr<Recordset> m_rs;
};
