#include "platform/files/DesktopOpener.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

class XdgOpener : public DesktopOpener
{
public:
    bool open(const QString& path) override
    {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return false;
        // Qt hands the file to xdg-open and only learns whether it started, so
        // ask first whether any program takes the type.
        const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
        if (!xdgMime.isEmpty()) {
            const QString type = QMimeDatabase().mimeTypeForFile(path).name();
            QProcess query;
            query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
            if (!query.waitForFinished(5000) || query.exitCode() != 0 ||
                query.readAllStandardOutput().trimmed().isEmpty())
                return false;
        }
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

std::unique_ptr<DesktopOpener>& slot()
{
    static std::unique_ptr<DesktopOpener> opener;
    return opener;
}

} // namespace

DesktopOpener& DesktopOpener::instance()
{
    auto& opener = slot();
    if (!opener)
        opener = std::make_unique<XdgOpener>();
    return *opener;
}

void DesktopOpener::setInstance(std::unique_ptr<DesktopOpener> opener)
{
    slot() = std::move(opener);
}
