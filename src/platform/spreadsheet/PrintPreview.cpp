#include "platform/spreadsheet/PrintPreview.h"

#include "platform/spreadsheet/SheetPrinter.h"
#include "platform/spreadsheet/Worksheet.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

PrintPreview::Presenter& presenter()
{
    static PrintPreview::Presenter p;
    return p;
}

} // namespace

void PrintPreview::show(const Worksheet& sheet)
{
    if (presenter()) {
        presenter()(sheet);
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(SheetPrinter::defaultPageLayout());
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("VistaPrevia"));
    dialog.setWindowTitle(QStringLiteral("Vista preliminar - %1").arg(sheet.name()));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&sheet](QPrinter* p) { SheetPrinter(sheet).print(*p); });
    dialog.resize(900, 700);
    dialog.exec();
}

void PrintPreview::setPresenter(Presenter p)
{
    presenter() = std::move(p);
}
