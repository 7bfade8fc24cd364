#pragma once

#include "platform/controls/ListViewModel.h"

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QStringList>

class GridModel;
class ListView;
class QLabel;
class QPushButton;

// The suite's modal dialog "Control de cargos Reales": the charges of one
// account that still have an amount pending. The operator ticks the charges to
// take, may lower a ticked charge's pending amount (right click, "Cambiar
// Importe"), and accepts with the button or Esc; the ticked charges come back
// in CargosSeleccionados.
//
//   FrmCtrlCargosReales& cargos = FrmCtrlCargosReales::Instancia();
//   cargos.Cliente = cuenta;
//   if (cargos.Mostrar() == QDialog::Accepted) ... CargosSeleccionados() ...
//
// The window unloads when it closes: the next Instancia() is a new window.
class FrmCtrlCargosReales : public QDialog
{
    Q_OBJECT
public:
    // The shared default instance, created on first use, dropped at unload.
    static FrmCtrlCargosReales& Instancia();
    static bool HayInstancia();

    // The account whose charges are listed, used as it stands (not trimmed).
    QString Cliente;

    // Loads the window (the list of Cliente's charges) and shows it modally.
    // Returns Accepted after an accept, Rejected after any other close. A
    // failure the load does not handle itself comes back as a RuntimeError,
    // with the window unloaded.
    int Mostrar();

    // Columns of the list.
    enum Columna
    {
        Fecha,
        Matricula,
        Concepto,
        ImportePendiente,
        Observaciones
    };

    QLabel* Label1 = nullptr;
    ListViewModel ListView1;
    ListView* ListView1Vista = nullptr;
    QPushButton* CmdAceptar = nullptr;

    void Form_Load();
    void InicializaGrid();
    void CargarDatos();
    void ListView1_MouseDown(Qt::MouseButton boton, const QPoint& puntoGlobal);
    void CmdAceptar_Click();
    void Form_Resize();
    void Form_Unload();

    // Paints row `Fila` of a grid with the back colour `Color` (blue-green-red)
    // and leaves it the grid's current row; the current column is kept.
    static void PintarFila(GridModel& MSFlexGrid1, qint32 Fila, qint32 Color);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    FrmCtrlCargosReales();
    template <class> friend struct InstanciaVentana;

    // The charge's ID as read, for the rows whose ID another row already
    // carries as its key (a key is unique in the list).
    QString idDeFila(int fila) const;
    QString describirFila(int fila) const;

    QStringList m_idsLeidos;
    bool m_descargada = false;
    bool m_mostrando = false;
};
