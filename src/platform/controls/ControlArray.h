#pragma once

#include "platform/text/RuntimeError.h"

#include <QList>
#include <QPointer>
#include <map>

// An indexed group of like controls, as the suite's windows have them: indexes
// need not be contiguous, and asking for one that is missing is a run-time error.
template <class Control> class ControlArray
{
public:
    void add(int index, Control* control) { m_controls[index] = control; }
    bool contains(int index) const
    {
        auto it = m_controls.find(index);
        return it != m_controls.end() && it->second;
    }
    Control* at(int index) const
    {
        if (!contains(index))
            throw RuntimeError(
                340,
                QStringLiteral("El elemento %1 de la matriz de controles no existe").arg(index),
                QStringLiteral("ControlArray"));
        return m_controls.at(index);
    }
    Control* operator()(int index) const { return at(index); }
    QList<int> indexes() const
    {
        QList<int> out;
        for (const auto& [index, control] : m_controls)
            if (control)
                out.append(index);
        return out;
    }
    int count() const { return static_cast<int>(indexes().size()); }

private:
    std::map<int, QPointer<Control>> m_controls;
};
