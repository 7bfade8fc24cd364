#include "platform/controls/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtTranslations(const QLocale& locale)
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    // One at a time: installing again for another language replaces it.
    static QTranslator* installed = nullptr;
    auto* translator = new QTranslator(app);
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}
