#pragma once

#include "components/ReglasTeclado.h"
#include "platform/controls/ControlArray.h"

#include <QObject>
#include <QString>

class QLineEdit;

// Keyboard handling of the filter boxes. Each box carries its key (the field
// name the report looks it up by) and its input kind, as the suite's windows
// design them: "COMPROBANTES" for the parts of a voucher number, "fecha" for
// a date. From both the component knows what the box takes:
//   Sucursal (kind COMPROBANTES, key Sucursal_...): digits only, padded with
//             leading zeros to 4 when the box is left;
//   Numero   (COMPROBANTES, key Nro_...): digits only, padded to 8;
//   Letra    (COMPROBANTES, key Letra_...): one letter, upper-cased;
//   Fecha    (fecha): digits and "/", "-" or ".", at most 10 characters; the
//             separators after day and month are typed for the operator (the
//             one already used, "/" at first);
//   Texto    (anything else): anything.
// Enter moves to the next box, as Tab does.
class CompTeclado : public QObject
{
    Q_OBJECT
public:
    using TipoEntrada = ReglasTeclado::TipoEntrada;

    // Gives a box its key and input kind (and the length that goes with them).
    static void Configurar(QLineEdit* caja, const QString& campo, const QString& tipo);
    static QString CampoDe(const QLineEdit* caja);
    static QString TipoTextoDe(const QLineEdit* caja);
    static TipoEntrada TipoDe(const QLineEdit* caja);
    static TipoEntrada Clasificar(const QString& campo, const QString& tipo)
    {
        return ReglasTeclado::Clasificar(campo, tipo);
    }

    // Index of the box whose field name matches, without regard to case; -1
    // when no box has it.
    int IndiceCampo(const QString& campo, const ControlArray<QLineEdit>& grupo) const;

    // Key-down: the keypad's Enter acts as the main one.
    void TeclaAbajo(int& codigoTecla) const;
    // Key-press: may change the character or cancel it (0).
    void TeclaPresionada(QLineEdit* caja, int& codigoAscii) const;
    // What a box of that kind holds once the operator leaves it, whatever was
    // typed or pasted into it (the batch report gives its values this way too).
    static QString TextoAlSalir(TipoEntrada tipo, const QString& texto)
    {
        return ReglasTeclado::TextoAlSalir(tipo, texto);
    }
    // Whether the box takes that character when it is typed.
    static bool AdmiteCaracter(TipoEntrada tipo, QChar c)
    {
        return ReglasTeclado::AdmiteCaracter(tipo, c);
    }
    // Whether the box would take the whole text (blanks around it aside) as
    // typed: every character and no more than it holds. The command line
    // refuses a value the box would not take instead of emptying it.
    static bool Admite(TipoEntrada tipo, const QString& texto)
    {
        return ReglasTeclado::Admite(tipo, texto);
    }
    // What a box of that kind takes, for a message.
    static QString QueAdmite(TipoEntrada tipo) { return ReglasTeclado::QueAdmite(tipo); }

    // Routes the box's key events through TeclaAbajo and TeclaPresionada, and
    // completes its text when it loses the focus.
    void Atender(QLineEdit* caja);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};
