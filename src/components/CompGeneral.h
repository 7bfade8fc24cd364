#pragma once

#include "platform/text/Currency.h"
#include "platform/text/RuntimeError.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class QWidget;

// General utilities of the suite and its error dialog.
class CompGeneral
{
public:
    // Answers of the error dialog.
    enum Respuesta
    {
        Abortar = 3,
        Reintentar = 4,
        Ignorar = 5
    };

    // Decides the answer to an error in place of the dialog: the batch report
    // (no window to show it in) and tests install one. Takes the error and the
    // tag (empty when the caller passed none).
    using Presentador = std::function<int(const RuntimeError&, const QString& etiqueta)>;

    // A field's value as text, never null: a null field is the empty text.
    QString ValorNoNulo(const QVariant& valor) const;
    // The text as a fixed-point amount; see Currency::parse for the texts it
    // reads. An empty or non-numeric text is 0.
    Currency ValorNumerico(const QString& texto) const;
    // The code left-aligned and padded with blanks to `ancho`, the form in which
    // codes are stored and compared. A longer code is returned as it is: cut,
    // it could match another code.
    QString CompletarCodigo(const QString& codigo, int ancho) const;
    // The text with every occurrence of `buscar` replaced.
    QString Reemplazar(const QString& texto, const QString& buscar,
                       const QString& reemplazo = {}) const;
    // The folder path ending in a folder separator ("" stays "": appending a
    // file name to it names a file of the current folder, not of the root).
    QString CompletarRuta(const QString& ruta) const;

    // Every error shown is appended to this file with date, time, tag, number
    // and description.
    void setArchivoLog(const QString& archivo) { m_archivoLog = archivo; }
    const QString& ArchivoLog() const { return m_archivoLog; }
    // Appends the error to that file without showing it: for failures a
    // procedure skips by design but that whoever supports the workstation
    // must be able to find.
    void RegistrarError(const RuntimeError& error, const QString& etiqueta) const;
    // What the operator reads of an error: for the drivers' texts the program
    // knows (a connection the server ended, a table the database has not got,
    // a text the ODBC driver refuses as too long), one Spanish sentence that
    // says what happened and what to do; any other description as it is. The
    // driver's own words and the statement stay in the description, which is
    // what the error log gets.
    static QString TextoParaElOperador(const QString& descripcion);

    // Sets a window up when it loads: large enough for every control as
    // designed (within the screen area), never smaller than what keeps every
    // control whole, and centred on its screen. Controls that scroll their
    // contents (grids, lists) are the ones windows resize, so the minimum only
    // keeps their top-left corner and a few lines of them.
    void PrepararFormulario(QWidget* ventana, int valor = 0) const;
    // Centres the control horizontally inside its window.
    void CentrarControl(QWidget* control) const;

    // Shows the error (number, description, tag) with the buttons Abortar,
    // Reintentar and Omitir, and returns 3, 4 or 5. Without a window system to
    // show it on, it writes the error to standard error and answers 3.
    int MostrarError(const RuntimeError& error, const std::optional<QString>& etiqueta = {});

    void setPresentador(Presentador presentador) { m_presentador = std::move(presentador); }

    // A message with only an OK button and the program's title. Without a
    // window system it goes to standard error.
    void Mensaje(const QString& texto) const;
    // Receives the messages in place of the message box (the batch report, tests).
    using Mensajero = std::function<void(const QString&)>;
    void setMensajero(Mensajero mensajero) { m_mensajero = std::move(mensajero); }

    // The platform's message box: the text, the suite's style value (icon and
    // buttons: 0 OK only, 16 critical, 48 exclamation, 64 information) and the
    // title. Returns the button pressed (1, OK).
    int MsgBox(const QString& texto, int estilo, const QString& titulo) const;
    // The platform's input box: the text typed, or the empty text when the
    // operator closed the box or pressed Cancel.
    QString InputBox(const QString& pregunta, const QString& titulo,
                     const QString& porDefecto) const;
    // Answer them in place of the boxes, like the error dialog's Presentador.
    using Avisador = std::function<int(const QString& texto, int estilo, const QString& titulo)>;
    void setAvisador(Avisador avisador) { m_avisador = std::move(avisador); }
    using Preguntador = std::function<QString(const QString& pregunta, const QString& titulo,
                                              const QString& porDefecto)>;
    void setPreguntador(Preguntador preguntador) { m_preguntador = std::move(preguntador); }

    // How the boxes show where the application has widgets: the windows'
    // library installs them as the application starts. Without them (the
    // command line's report, a core without windows) the texts go to
    // standard error, as they do with no window system.
    struct Dialogos
    {
        int (*error)(const RuntimeError& error, const QString& texto, const QString& etiqueta);
        void (*mensaje)(const QString& texto);
        int (*msgBox)(const QString& texto, int estilo, const QString& titulo);
        QString (*inputBox)(const QString& pregunta, const QString& titulo,
                            const QString& porDefecto);
    };
    static void setDialogos(const Dialogos* dialogos) { s_dialogos = dialogos; }

private:
    static bool hayVentanas();
    static inline const Dialogos* s_dialogos = nullptr;

    QString m_archivoLog;
    Presentador m_presentador;
    Mensajero m_mensajero;
    Avisador m_avisador;
    Preguntador m_preguntador;
};
