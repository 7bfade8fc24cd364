#include "components/CompEquipo.h"

#include "platform/controls/ScreenArea.h"

#include <QWidget>
#include <algorithm>

void CompEquipo::PrepararVentana(QWidget* ventana) const
{
    const QRect zona = availableScreenArea(ventana);
    if (zona.isEmpty())
        return;
    if (ventana->width() > zona.width() || ventana->height() > zona.height())
        ventana->resize(std::min(ventana->width(), zona.width()),
                        std::min(ventana->height(), zona.height()));
    QRect marco = ventana->frameGeometry();
    if (!zona.contains(marco)) {
        marco.moveLeft(std::clamp(marco.left(), zona.left(),
                                  std::max(zona.left(), zona.right() - marco.width() + 1)));
        marco.moveTop(std::clamp(marco.top(), zona.top(),
                                 std::max(zona.top(), zona.bottom() - marco.height() + 1)));
        ventana->move(marco.topLeft());
    }
}
