#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QDialog;
class QLabel;
class QTimer;

// A progress indication: a small window with a title, a message, a detail
// line and a running bar, optionally with a button to cancel. Updates arrive
// far more often than the eye can follow (once per exported cell), so the
// texts are put on screen at most every IntervaloMs; the last texts given are
// always the ones shown when the window is next painted.
// The window is modal for the whole application while it is shown; Escape
// and closing it mean "Cancelar" (when the work may be cancelled) and never
// hide it. Without a window system (the batch report) it shows nothing.
class CompProgreso
{
public:
    static constexpr int IntervaloMs = 100;

    CompProgreso();
    ~CompProgreso();
    CompProgreso(const CompProgreso&) = delete;
    CompProgreso& operator=(const CompProgreso&) = delete;

    void MostrarProgreso(const QString& titulo, int tipo = 0, bool cancelable = false);
    void ActualizarProgreso(int tipo, const QString& titulo, const QString& mensaje,
                            const QString& detalle);
    void CerrarProgreso();

    bool Visible() const;
    // True once the operator asked to cancel ("Cancelar", Escape) since the
    // window was shown.
    bool Cancelado() const { return m_cancelado; }
    // Texts now on screen (what the operator reads).
    QString TextoMostrado() const;
    // How many times the texts were put on screen since it was shown.
    int Repintados() const { return m_repintados; }

private:
    void aplicar();
    void cancelar();

    QPointer<QDialog> m_ventana;
    QLabel* m_mensaje = nullptr;
    QLabel* m_detalle = nullptr;
    QTimer* m_temporizador = nullptr;
    QString m_titulo;
    QString m_textoMensaje;
    QString m_textoDetalle;
    QElapsedTimer m_reloj;
    bool m_pendiente = false;
    bool m_cancelado = false;
    bool m_cancelable = false;
    int m_repintados = 0;
};
