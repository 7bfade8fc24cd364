#include "platform/spreadsheet/SpreadsheetApp.h"

#include "platform/files/DesktopOpener.h"
#include "platform/files/ExportFolder.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/XlsxFile.h"

#include <QDateTime>

void SpreadsheetApp::setVisible(bool visible)
{
    if (visible && !m_visible && hasWorkbook() && m_savedPath.isEmpty()) {
        save();
        openOnDesktop();
        return;
    }
    m_visible = visible;
}

void SpreadsheetApp::save(const XlsxFile::Stop& stop)
{
    const QString stem =
        QDateTime::currentDateTime().toString(QStringLiteral("'Libro_'yyyy-MM-dd_HH-mm-ss"));
    m_savedPath = XlsxFile::saveNew(activeWorkbook(), exportFolder(), stem, m_saveProgress, stop);
    for (int i = 0; i < activeWorkbook().sheetCount(); ++i)
        activeWorkbook().sheet(i).setFileName(m_savedPath);
    m_opened = false;
}

void SpreadsheetApp::openOnDesktop()
{
    m_opened = DesktopOpener::instance().open(m_savedPath);
    m_visible = true;
}

void SpreadsheetApp::setSheetsInNewWorkbook(int count)
{
    if (count < 1 || count > 255)
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar SheetsInNewWorkbook = %1: va de 1 a 255")
                .arg(count));
    m_sheetsInNewWorkbook = count;
}

Workbook& SpreadsheetApp::addWorkbook()
{
    m_workbooks.push_back(std::make_unique<Workbook>(m_sheetsInNewWorkbook));
    m_savedPath.clear();
    m_opened = false;
    return *m_workbooks.back();
}

Workbook& SpreadsheetApp::activeWorkbook()
{
    if (m_workbooks.empty())
        throw RuntimeError(ErrorNumber::ObjectRequired,
                           QStringLiteral("Se requiere un objeto: la aplicación no tiene ningún "
                                          "libro abierto"),
                           QStringLiteral("Excel"));
    return *m_workbooks.back();
}

Worksheet& SpreadsheetApp::activeSheet()
{
    return activeWorkbook().activeSheet();
}
