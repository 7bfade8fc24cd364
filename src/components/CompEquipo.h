#pragma once

#include <QString>

class QWidget;

// The workstation: its name, who is logged in, and how its windows are placed.
class CompEquipo
{
public:
    QString NombreEquipo() const;
    // The user logged in to the workstation's desktop session.
    QString UsuarioEquipo() const;
    // Makes sure the window opens wholly inside the workstation's screen: a
    // window larger than the screen is shrunk, one outside it is moved in.
    void PrepararVentana(QWidget* ventana) const;
};
