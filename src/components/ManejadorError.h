#pragma once

#include "platform/text/RuntimeError.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>

// The suite's "on error" handler for one run of a procedure. The procedure
// runs each statement that can fail through paso(); on a failure the handler
// decides: run it again, skip it and go on, or leave the procedure. Once left,
// every later paso() does nothing and returns false, so the procedure can end
// with whatever its result holds, the way the suite's procedures always have.
//
//   ManejadorError enError = ManejadorError::conEtiqueta(u"Cfg"_s);
//   enError.paso([&] { rs = datos.AbrirRecordset(sql); });
//   enError.paso([&] { resultado = ...; });
//   return resultado;
class ManejadorError
{
public:
    enum class Accion
    {
        Reintentar,
        Omitir,
        Salir
    };
    using Decision = std::function<Accion(const RuntimeError&)>;

    // The error dialog of CompGeneral decides, with the procedure's tag.
    static ManejadorError conEtiqueta(const QString& etiqueta);
    // The same without a tag (the spreadsheet export passes none).
    static ManejadorError sinEtiqueta();
    // Skip mode: every failing statement is skipped silently.
    static ManejadorError omitiendo();
    // A handler with its own rule (start-up has one).
    explicit ManejadorError(Decision decision) : m_decision(std::move(decision)) {}

    // Runs one statement under the handler. Returns true while the procedure
    // goes on (the statement ran or was skipped), false once it was left.
    template <class Paso> bool paso(Paso&& sentencia)
    {
        while (!m_salio) {
            try {
                std::forward<Paso>(sentencia)();
                return true;
            } catch (const RuntimeError& error) {
                if (!decidir(error))
                    return !m_salio;
            } catch (const std::exception& error) {
                if (!decidir(RuntimeError(51, QString::fromLocal8Bit(error.what()))))
                    return !m_salio;
            }
        }
        return false;
    }

    bool sigue() const { return !m_salio; }
    bool salio() const { return m_salio; }
    // The last error the handler saw, if any.
    const std::optional<RuntimeError>& ultimoError() const { return m_ultimo; }

private:
    // True to run the statement again.
    bool decidir(const RuntimeError& error);

    Decision m_decision;
    std::optional<RuntimeError> m_ultimo;
    bool m_salio = false;
};
