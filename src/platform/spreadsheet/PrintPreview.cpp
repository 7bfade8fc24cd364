#include "platform/spreadsheet/PrintPreview.h"

#include "platform/files/ExportFolder.h"
#include "platform/spreadsheet/Worksheet.h"
#include "platform/text/RuntimeError.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPixmap>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

PrintPreview::Presenter& presenter()
{
    static PrintPreview::Presenter p;
    return p;
}

// One page on a sheet of paper, painted whenever it is shown.
class PageView : public QWidget
{
public:
    PageView(const SheetPrinter& printer, const QPageLayout& layout)
        : m_printer(printer), m_layout(layout)
    {
        setObjectName(QStringLiteral("Pagina"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void show(const SheetPrinter::Page& page, double zoom)
    {
        m_page = page;
        m_zoom = zoom;
        const QSizeF paper = m_layout.fullRect(QPageLayout::Point).size() * pixelsPerPoint();
        resize(qRound(paper.width()) + 2 * Margin, qRound(paper.height()) + 2 * Margin);
        update();
    }

    // The sheet reads its rows back through one read-ahead buffer, which two
    // threads cannot share: while the pages are painted on a worker, the page
    // on screen is repainted from a picture of it taken before.
    void freeze(bool frozen)
    {
        m_frozen = frozen ? grab() : QPixmap();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (!m_frozen.isNull()) {
            painter.fillRect(rect(), palette().color(QPalette::Dark));
            painter.drawPixmap(0, 0, m_frozen);
            return;
        }
        painter.fillRect(rect(), palette().color(QPalette::Dark));
        const double scale = pixelsPerPoint();
        const QRectF paper(Margin, Margin, m_layout.fullRect(QPageLayout::Point).width() * scale,
                           m_layout.fullRect(QPageLayout::Point).height() * scale);
        painter.fillRect(paper.translated(3, 3), Qt::black);
        painter.fillRect(paper, Qt::white);
        const QRectF printable = m_layout.paintRect(QPageLayout::Point);
        painter.translate(paper.topLeft() + printable.topLeft() * scale);
        // The printer paints in the device's points; the zoom on top of them.
        painter.scale(m_zoom, m_zoom);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_printer.paintPage(painter, m_page);
    }

public:
    static constexpr int Margin = 12;

private:
    double pixelsPerPoint() const { return logicalDpiX() / 72.0 * m_zoom; }

    const SheetPrinter& m_printer;
    QPageLayout m_layout;
    SheetPrinter::Page m_page{1, 0, 1, 0, 1, 1, 1, {}};
    double m_zoom = 1;
    QPixmap m_frozen;
};

class PreviewWindow : public QDialog
{
public:
    PreviewWindow(const Worksheet& sheet, const SheetPrinter::Progress& progress,
                  PrintPreview::Runner runner, QWidget* parent)
        : QDialog(parent), m_sheet(sheet), m_printer(sheet), m_progress(progress),
          m_runner(std::move(runner))
    {
        setObjectName(QStringLiteral("VistaPrevia"));
        setWindowTitle(QStringLiteral("Vista preliminar - %1").arg(sheet.name()));
        m_layout = m_printer.pageLayout();
        m_printable = m_layout.paintRect(QPageLayout::Point).size();
        m_pages = m_printer.pages(m_printable);

        auto* previous = new QToolButton;
        previous->setObjectName(QStringLiteral("Anterior"));
        previous->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
        previous->setToolTip(QStringLiteral("Página anterior (RePág)"));
        auto* next = new QToolButton;
        next->setObjectName(QStringLiteral("Siguiente"));
        next->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
        next->setToolTip(QStringLiteral("Página siguiente (AvPág)"));
        m_number = new QSpinBox;
        m_number->setObjectName(QStringLiteral("NumeroPagina"));
        m_number->setRange(1, static_cast<int>(m_pages.size()));
        m_number->setAccelerated(true);
        auto* of = new QLabel(QStringLiteral("de %L1").arg(m_pages.size()));
        auto* zoom = new QComboBox;
        zoom->setObjectName(QStringLiteral("Zoom"));
        // The fits first: a landscape page at 100 % is wider than the preview,
        // and its last columns would open out of sight.
        zoom->addItem(QStringLiteral("Ancho de página"), AnchoDePagina);
        zoom->addItem(QStringLiteral("Página entera"), PaginaEntera);
        for (int z : {50, 75, 100, 125, 150, 200})
            zoom->addItem(QStringLiteral("%1 %").arg(z), z / 100.0);
        zoom->setCurrentIndex(0);
        m_zoomPedido = AnchoDePagina;
        auto* print = new QPushButton(QStringLiteral("&Imprimir…"));
        print->setObjectName(QStringLiteral("Imprimir"));
        auto* pdf = new QPushButton(QStringLiteral("Guardar &PDF…"));
        pdf->setObjectName(QStringLiteral("GuardarPDF"));
        auto* close = new QPushButton(QStringLiteral("&Cerrar"));
        close->setObjectName(QStringLiteral("Cerrar"));
        // The arrows show only an icon; the page number needs the "de N"
        // beside it to make sense without seeing it.
        previous->setAccessibleName(QStringLiteral("Página anterior"));
        next->setAccessibleName(QStringLiteral("Página siguiente"));
        m_number->setAccessibleName(QStringLiteral("Página"));
        m_number->setAccessibleDescription(
            QStringLiteral("Página a la vista, de %L1 páginas.").arg(m_pages.size()));
        // A combo box is read by its current choice and the label that
        // names it.
        auto* zoomLabel = new QLabel(QStringLiteral("&Zoom:"));
        zoomLabel->setBuddy(zoom);
        print->setAccessibleDescription(
            QStringLiteral("Imprime todas las páginas o un rango, en la impresora que elija."));
        pdf->setAccessibleDescription(QStringLiteral("Guarda las páginas como archivo PDF."));

        auto* bar = new QHBoxLayout;
        bar->addWidget(previous);
        bar->addWidget(m_number);
        bar->addWidget(of);
        bar->addWidget(next);
        bar->addSpacing(12);
        bar->addWidget(zoomLabel);
        bar->addWidget(zoom);
        bar->addStretch();
        bar->addWidget(print);
        bar->addWidget(pdf);
        bar->addWidget(close);

        m_view = new PageView(m_printer, m_layout);
        auto* scroll = new QScrollArea;
        m_scroll = scroll;
        scroll->setAccessibleDescription(QStringLiteral(
            "La página como se imprimirá; sus textos son los de la grilla exportada."));
        scroll->setAlignment(Qt::AlignHCenter);
        scroll->setWidget(m_view);
        scroll->setBackgroundRole(QPalette::Dark);

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(bar);
        layout->addWidget(scroll, 1);

        connect(previous, &QToolButton::clicked, this, [this] { go(m_number->value() - 1); });
        connect(next, &QToolButton::clicked, this, [this] { go(m_number->value() + 1); });
        connect(m_number, &QSpinBox::valueChanged, this, [this](int) { showPage(); });
        m_number->installEventFilter(this);
        connect(zoom, &QComboBox::currentIndexChanged, this, [this, zoom](int) {
            m_zoomPedido = zoom->currentData().toDouble();
            showPage();
        });
        connect(print, &QPushButton::clicked, this, [this] { printPages(); });
        connect(pdf, &QPushButton::clicked, this, [this] { savePdf(); });
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
        const auto key = [this](QKeySequence sequence, auto action) {
            connect(new QShortcut(sequence, this), &QShortcut::activated, this, action);
        };
        key(QKeySequence(Qt::Key_PageDown), [this] { go(m_number->value() + 1); });
        key(QKeySequence(Qt::Key_PageUp), [this] { go(m_number->value() - 1); });
        key(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { go(1); });
        key(QKeySequence(Qt::CTRL | Qt::Key_End), [this] { go(m_number->maximum()); });
        key(QKeySequence::Print, [this] { printPages(); });
        showPage();
    }

protected:
    // A fit follows the preview's size.
    void resizeEvent(QResizeEvent* event) override
    {
        QDialog::resizeEvent(event);
        if (m_zoomPedido < 0)
            showPage();
    }

    // A page number typed and confirmed with Enter goes to that page; the
    // spin box lets Enter on to the dialog, whose default button would open
    // the print dialog instead.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_number && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_number->interpretText();
                m_number->selectAll();
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    void go(int page) { m_number->setValue(std::clamp(page, 1, m_number->maximum())); }

    // The zoom asked for, or the one a fit gives in the preview's room.
    double zoomActual() const
    {
        if (m_zoomPedido > 0)
            return m_zoomPedido;
        const QSizeF paper =
            m_layout.fullRect(QPageLayout::Point).size() * (m_view->logicalDpiX() / 72.0);
        const QSize room = m_scroll->viewport()->size() -
                           QSize(2 * PageView::Margin + 4, 2 * PageView::Margin + 4) -
                           QSize(m_scroll->verticalScrollBar()->sizeHint().width(), 0);
        const double ancho = room.width() / paper.width();
        const double zoom =
            m_zoomPedido == AnchoDePagina ? ancho : std::min(ancho, room.height() / paper.height());
        return std::clamp(zoom, 0.1, 4.0);
    }

    void showPage()
    {
        m_zoom = zoomActual();
        m_view->show(m_pages[m_number->value() - 1], m_zoom);
        m_scroll->setAccessibleName(
            QStringLiteral("Página %L1 de %L2").arg(m_number->value()).arg(m_pages.size()));
    }

    void printPages()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(m_layout);
        printer.setDocName(m_sheet.name());
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, static_cast<int>(m_pages.size()));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        if (dialog.exec() != QDialog::Accepted)
            return;
        // "Print to file" goes through a temporary file like "Guardar PDF…".
        const QString file = printer.outputFormat() == QPrinter::PdfFormat
                                 ? printer.outputFileName()
                                 : QString();
        run(
            [&] {
                return file.isEmpty()
                           ? m_printer.print(printer, m_progress, printer.fromPage(),
                                             printer.toPage())
                           : m_printer.printToPdf(file, printer.pageLayout(), m_progress,
                                                  printer.fromPage(), printer.toPage());
            },
            file.isEmpty()
                ? QStringLiteral("Impresión cancelada: las páginas ya enviadas a la impresora "
                                 "quedan en su cola.")
                : QStringLiteral("Se canceló la impresión en el archivo: no se guardó ningún "
                                 "archivo."));
    }

    void savePdf()
    {
        // Beside the workbook the pages come from, with its name; a sheet never
        // saved goes to the export folder under its own name.
        const QFileInfo libro(m_sheet.fileName());
        const QString propuesta =
            m_sheet.fileName().isEmpty()
                ? QDir(exportFolder()).filePath(m_sheet.name() + QStringLiteral(".pdf"))
                : libro.dir().filePath(libro.completeBaseName() + QStringLiteral(".pdf"));
        QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Guardar las páginas como PDF"),
                                         propuesta, QStringLiteral("PDF (*.pdf)"));
        if (path.isEmpty())
            return;
        if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            path += QStringLiteral(".pdf");
        run([&] { return m_printer.savePdf(path, m_progress); },
            QStringLiteral("Se canceló el PDF: no se guardó ningún archivo."));
    }

    void run(const std::function<bool()>& work, const QString& cancelled)
    {
        m_view->freeze(m_runner != nullptr);
        const auto thaw = qScopeGuard([this] { m_view->freeze(false); });
        try {
            if (!(m_runner ? m_runner(work) : work()))
                QMessageBox::information(this, windowTitle(), cancelled);
        } catch (const RuntimeError& error) {
            QMessageBox::warning(this, windowTitle(), error.description());
        }
    }

    const Worksheet& m_sheet;
    SheetPrinter m_printer;
    SheetPrinter::Progress m_progress;
    PrintPreview::Runner m_runner;
    QPageLayout m_layout = SheetPrinter::defaultPageLayout();
    QSizeF m_printable;
    QList<SheetPrinter::Page> m_pages;
    PageView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    QSpinBox* m_number = nullptr;
    static constexpr double AnchoDePagina = -1;
    static constexpr double PaginaEntera = -2;
    double m_zoomPedido = AnchoDePagina;
    double m_zoom = 1;
};

} // namespace

void PrintPreview::show(const Worksheet& sheet, const SheetPrinter::Progress& progress,
                        const Runner& runner)
{
    if (presenter()) {
        presenter()(sheet);
        return;
    }
    open(sheet, progress, runner);
}

void PrintPreview::open(const Worksheet& sheet, const SheetPrinter::Progress& progress,
                        const Runner& runner)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    PreviewWindow window(sheet, progress, runner, QApplication::activeWindow());
    window.resize(900, 700);
    window.exec();
}

void PrintPreview::setPresenter(Presenter p)
{
    presenter() = std::move(p);
}
