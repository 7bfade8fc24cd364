#include "platform/controls/ResourceIcon.h"

#include <QFile>
#include <QStringList>

using namespace Qt::StringLiterals;

QIcon resourceIcon(const QString& name)
{
    if (const QString svg = name + u".svg"_s; QFile::exists(svg))
        return QIcon(svg);
    // Both drawings, whatever the scale at start-up: a window may move to a
    // screen of another scale, and the icon picks the drawing of the scale
    // it is painted at.
    QIcon icon;
    for (const QString& png : QStringList{name + u".png"_s, name + u"@2x.png"_s})
        if (QFile::exists(png))
            icon.addFile(png);
    return icon;
}
