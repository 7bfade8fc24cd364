#include "platform/spreadsheet/XlsxFile.h"

#include "platform/files/FileCommit.h"
#include "platform/spreadsheet/SheetPrinter.h"
#include "platform/spreadsheet/Workbook.h"
#include "platform/spreadsheet/XlsxPack.h"
#include "platform/text/CNumericLocale.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace {

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("No se puede guardar el libro «%1»: %2")
                           .arg(QDir::toNativeSeparators(path), reason),
                       QStringLiteral("Excel"));
}

void check(lxw_error error, const QString& path)
{
    if (error != LXW_NO_ERROR)
        fail(path, QString::fromUtf8(lxw_strerror(error)));
}

lxw_color_t lxwColor(QRgb rgb)
{
    const lxw_color_t c = rgb & 0xFFFFFF;
    return c == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK)
                  : c; // 0 means "no colour" to the library
}

// The library's format for each distinct cell format, made on first use.
class Formats
{
public:
    Formats(lxw_workbook* book, const StyleTable& styles)
        : m_book(book), m_styles(styles), m_formats(static_cast<size_t>(styles.size()), nullptr)
    {
    }

    lxw_format* operator()(quint32 id)
    {
        if (id == 0)
            return nullptr; // the workbook's default
        lxw_format*& f = m_formats[id];
        if (!f)
            f = make(m_styles.style(id));
        return f;
    }

private:
    lxw_format* make(const CellStyle& s)
    {
        lxw_format* f = workbook_add_format(m_book);
        format_set_font_name(f, m_styles.fontName(s.fontName).toUtf8().constData());
        format_set_font_size(f, s.fontSize);
        if (!s.fontAutomatic)
            format_set_font_color(f, lxwColor(s.fontColor));
        if (s.bold)
            format_set_bold(f);
        if (s.hasFill) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, lxwColor(s.fill));
        }
        if (s.borders)
            format_set_border(f, LXW_BORDER_THIN);
        if (s.numberFormat != 0)
            format_set_num_format_index(f, s.numberFormat);
        return f;
    }

    lxw_workbook* m_book;
    const StyleTable& m_styles;
    std::vector<lxw_format*> m_formats;
};

// The longest text a cell of the file holds, in UTF-16 code units (which
// never count fewer than the characters the library counts).
constexpr qsizetype MaxCellText = 32767;
const QString CutMark = QStringLiteral("… [texto cortado]");

// A text that fits a cell: a longer one is cut, never inside a surrogate
// pair, and ends with the mark so the reader knows it goes on.
QString fitCell(const QString& text)
{
    if (text.size() <= MaxCellText)
        return text;
    qsizetype keep = MaxCellText - CutMark.size();
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + CutMark;
}

// A cell's text as the library takes it, in a buffer kept from cell to cell
// (a new array for every cell cost more than the conversion).
void toUtf8(QStringView text, QByteArray& into)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    into.resize(encoder.requiredSpace(text.size()) + 1);
    char* end = encoder.appendToBuffer(into.data(), text);
    *end = '\0';
    into.truncate(end - into.constData());
}

// A text in a header or footer, where "&" starts a code.
QByteArray headerText(const QString& text)
{
    QString plain = text;
    plain.replace(u'&', QStringLiteral("&&"));
    return plain.toUtf8();
}

// The sheet's print set-up, so the spreadsheet program prints the pages the
// preview shows: one page wide, the same orientation, the title rows on each
// page, the header and "Página N de M".
void writePrintSetup(lxw_worksheet* out, const Worksheet& sheet, const QString& path)
{
    const Worksheet::PrintSetup& setup = sheet.printSetup();
    if (!setup.framed())
        return;
    worksheet_set_paper(out, 9); // A4, as the preview
    if (setup.fitToWidth) {
        worksheet_fit_to_pages(out, 1, 0);
        if (SheetPrinter(sheet).pageLayout().orientation() == QPageLayout::Landscape)
            worksheet_set_landscape(out);
    }
    if (setup.lastColumn > 0)
        check(worksheet_print_area(
                  out, 0, 0, static_cast<lxw_row_t>(std::max(setup.lastRow, sheet.rowCount()) - 1),
                  static_cast<lxw_col_t>(setup.lastColumn - 1)),
              path);
    const int titleRows = std::min(setup.titleRows, sheet.rowCount());
    if (titleRows > 0)
        check(worksheet_repeat_rows(out, 0, static_cast<lxw_row_t>(titleRows - 1)), path);
    const QByteArray left = "&L&\"-,Bold\"&10" + headerText(setup.title);
    // The date the spreadsheet program prints on: the same file gives the same
    // bytes whatever day it was written.
    const QByteArray right = "&R&\"-,Regular\"&8&D";
    QByteArray filters;
    if (!setup.filters.isEmpty()) {
        // The file takes 255 bytes of header: long filters are cut, and say so.
        filters = "\n&\"-,Regular\"&8" + headerText(setup.filters);
        const qsizetype room = LXW_HEADER_FOOTER_MAX - left.size() - right.size();
        if (filters.size() > room) {
            const QByteArray more = "…";
            qsizetype keep = std::max<qsizetype>(0, room - more.size());
            // Never inside a UTF-8 sequence.
            while (keep > 0 && (static_cast<uchar>(filters.at(keep)) & 0xC0) == 0x80)
                --keep;
            // Nor between the two halves of a doubled "&".
            qsizetype amps = 0;
            while (keep - amps > 0 && filters.at(keep - amps - 1) == '&')
                ++amps;
            keep -= amps % 2;
            filters = keep > 16 ? filters.left(keep) + more : QByteArray();
        }
    }
    QByteArray header = left + filters + right;
    if (header.size() > LXW_HEADER_FOOTER_MAX)
        header = right;
    check(worksheet_set_header(out, header.constData()), path);
    check(worksheet_set_footer(out, "&C&8Página &P de &N"), path);
}

// A reference to blocks of the sheet's cells, as a chart's series takes it:
// "='Totales'!$A$2:$A$11", or "=('Totales'!$A$2:$A$11,'Totales'!$J$2)".
QByteArray chartReference(const QString& sheet, const std::vector<Worksheet::Cells>& areas)
{
    const auto column = [](int c) {
        QByteArray letters;
        for (; c > 0; c = (c - 1) / 26)
            letters.prepend(char('A' + (c - 1) % 26));
        return letters;
    };
    const auto cell = [&](int r, int c) {
        return QByteArray('$' + column(c) + '$' + QByteArray::number(r));
    };
    QString quoted = sheet;
    quoted.replace(u'\'', QStringLiteral("''"));
    const QByteArray name = '\'' + quoted.toUtf8() + "'!";
    QList<QByteArray> parts;
    for (const Worksheet::Cells& a : areas)
        parts << name + cell(a.top, a.left) +
                     (a.top == a.bottom && a.left == a.right
                          ? QByteArray()
                          : QByteArray(':' + cell(a.bottom, a.right)));
    if (parts.size() == 1)
        return QByteArray('=' + parts.first());
    return QByteArray("=(" + parts.join(',') + ')');
}

void writeCharts(lxw_workbook* book, lxw_worksheet* out, const Worksheet& sheet,
                 const QString& path)
{
    for (const Worksheet::BarChart& c : sheet.charts()) {
        lxw_chart* chart = workbook_add_chart(book, LXW_CHART_BAR);
        if (!chart)
            fail(path, QStringLiteral("no se pudo crear el gráfico %1").arg(c.title));
        const QByteArray categories = chartReference(sheet.name(), c.categories);
        for (const Worksheet::BarChart::Series& s : c.series) {
            const QByteArray values = chartReference(sheet.name(), s.values);
            lxw_chart_series* series =
                chart_add_series(chart, categories.constData(), values.constData());
            if (!series)
                fail(path, QStringLiteral("no se pudo crear la serie %1").arg(s.name));
            const QByteArray name = s.name.toUtf8();
            chart_series_set_name(series, name.constData());
            lxw_chart_fill fill{};
            fill.color = s.rgb;
            chart_series_set_fill(series, &fill);
            if (s.labels) {
                chart_series_set_labels(series);
                chart_series_set_labels_position(series, LXW_CHART_LABEL_POSITION_OUTSIDE_END);
                chart_series_set_labels_num_format(series, "#,##0.00");
            }
        }
        // The later series over the earlier, from the axis.
        chart_set_series_overlap(chart, 100);
        chart_set_series_gap(chart, 50);
        const QByteArray title = c.title.toUtf8();
        chart_title_set_name(chart, title.constData());
        chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        // The first row on top, as in the table, the values' axis below. A
        // bar chart's categories are its y axis.
        chart_axis_set_reverse(chart->y_axis);
        chart_axis_set_crossing_max(chart->y_axis);
        lxw_chart_options options{};
        options.x_scale = c.width / 480.0;
        options.y_scale = c.height / 288.0;
        check(worksheet_insert_chart_opt(out, static_cast<lxw_row_t>(c.row - 1),
                                         static_cast<lxw_col_t>(c.column - 1), chart, &options),
              path);
        if (c.pageRow > 1) {
            // The library reads the breaks up to a zero: the row above which each goes.
            lxw_row_t breaks[] = {static_cast<lxw_row_t>(c.pageRow - 1), 0};
            check(worksheet_set_h_pagebreaks(out, breaks), path);
        }
    }
}

// Rows between two progress reports: often enough for a steady count, seldom
// enough to cost nothing.
constexpr int ProgressRows = 1000;

[[noreturn]] void stopped(const QString& path)
{
    throw RuntimeError(ErrorNumber::Cancelled,
                       QStringLiteral("Se dejó de guardar el libro «%1»: no se guardó nada")
                           .arg(QDir::toNativeSeparators(path)),
                       QStringLiteral("Excel"));
}

void writeSheet(lxw_workbook* book, const Worksheet& sheet, const QString& path, int& written,
                int total, const XlsxFile::Progress& progress, const XlsxFile::Stop& stop)
{
    lxw_worksheet* out = workbook_add_worksheet(book, sheet.name().toUtf8().constData());
    if (!out)
        fail(path, QStringLiteral("no se pudo crear la hoja %1").arg(sheet.name()));
    Formats format(book, sheet.styles());

    const quint32 base = sheet.sheetStyle();

    QByteArray utf8;
    for (int r = 1; r <= sheet.rowCount(); ++r) {
        if (++written % ProgressRows == 0) {
            if (progress)
                progress(written, total);
            if (stop && stop())
                stopped(path);
        }
        const auto& cells = sheet.row(r);
        const auto row = static_cast<lxw_row_t>(r - 1);
        for (size_t i = 0; i < cells.size(); ++i) {
            const Worksheet::Cell& cell = cells[i];
            const auto col = static_cast<lxw_col_t>(i);
            switch (cell.kind) {
            case SpreadsheetValue::Kind::Number:
                check(worksheet_write_number(out, row, col, cell.number, format(cell.style)), path);
                break;
            case SpreadsheetValue::Kind::Text:
                toUtf8(fitCell(cell.text), utf8);
                check(worksheet_write_string(out, row, col, utf8.constData(), format(cell.style)),
                      path);
                break;
            case SpreadsheetValue::Kind::Empty:
                if (cell.style != base)
                    check(worksheet_write_blank(out, row, col, format(cell.style)), path);
                break;
            }
        }
    }
    // The column formats go in after the rows: set before them, the library's
    // constant-memory writer looks at every one of the 16,384 columns for
    // each row it writes. The file is the same, since the columns are written
    // ahead of the rows in it whenever they are set.
    const int columns = sheet.columnCount();
    // A column format widens the sheet's recorded extent to the last column it
    // covers; the declared dimension is the cells' own (a reader takes it as
    // the sheet's size, 16,384 columns otherwise).
    const lxw_col_t firstUsed = out->dim_colmin;
    const lxw_col_t lastUsed = out->dim_colmax;
    for (int c = 1; c <= columns; ++c)
        if (sheet.hasColumnWidth(c) || base != 0)
            check(worksheet_set_column(out, static_cast<lxw_col_t>(c - 1),
                                       static_cast<lxw_col_t>(c - 1), sheet.columnWidth(c),
                                       format(base)),
                  path);
    if (base != 0 && columns < Worksheet::MaxColumns)
        check(worksheet_set_column(out, static_cast<lxw_col_t>(columns),
                                   static_cast<lxw_col_t>(Worksheet::MaxColumns - 1),
                                   Worksheet::DefaultColumnWidth, format(base)),
              path);
    out->dim_colmin = firstUsed;
    out->dim_colmax = lastUsed;
    writePrintSetup(out, sheet, path);
    writeCharts(book, out, sheet, path);
}

// The library prints its own lines about a failed write on standard error;
// the program reports the failure itself, once, in the operator's words.
class QuietStandardError
{
public:
    QuietStandardError() : m_saved(::dup(2))
    {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            ::dup2(null, 2);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStandardError()
    {
        if (m_saved >= 0) {
            ::dup2(m_saved, 2);
            ::close(m_saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved;
};

void write(const Workbook& workbook, fileCommit::Output& out, const QString& target,
           const XlsxFile::Progress& progress, const XlsxFile::Stop& stop)
{
    const QuietStandardError quiet;
    // The library prints widths, margins, font sizes and cell values with the
    // C library: under a comma locale the XML would carry "11,4192".
    const CNumericScope numbers;
    int total = 0, written = 0;
    for (int i = 0; i < workbook.sheetCount(); ++i)
        total += workbook.sheet(i).rowCount();
    const QByteArray file = QFile::encodeName(out.writePath());
    // Its scratch files beside the result (the same disk the result needs),
    // in a folder of their own: the library names each file for a moment
    // before unlinking it, and a stop at that moment must leave nothing.
    const fileCommit::ScratchFolder scratch(out.temporaryFolder());
    if (scratch.path().isEmpty())
        fail(target, fileCommit::reason(errno));
    const QByteArray tmpdir = QFile::encodeName(scratch.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book)
        fail(target, QStringLiteral("no hay memoria para el libro"));
    try {
        for (int i = 0; i < workbook.sheetCount(); ++i)
            writeSheet(book, workbook.sheet(i), target, written, total, progress, stop);
    } catch (...) {
        lxw_workbook_free(book);
        throw;
    }
    if (progress)
        progress(total, total);
    if (stop && stop()) {
        xlsxPack::freeUnclosed(book);
        stopped(target);
    }
    // The library names a failed write by its own code only; the reason the
    // operator needs (a full disk ...) is the system's.
    xlsxPack::Outcome packed;
    if (stop) {
        packed = xlsxPack::packStoppable(book, stop);
        if (packed.stopped)
            stopped(target);
        if (!packed.failure.isEmpty())
            fail(target, packed.failure);
    } else {
        errno = 0;
        packed.result = workbook_close(book);
        packed.error = errno;
    }
    if (packed.result != LXW_NO_ERROR && packed.error != 0)
        fail(target, fileCommit::reason(packed.error));
    check(packed.result, target);
}

} // namespace

namespace XlsxFile {

void save(const Workbook& workbook, const QString& path, const Progress& progress, const Stop& stop)
{
    fileCommit::Output out(path);
    out.begin();
    write(workbook, out, path, progress, stop);
    out.commit();
}

QString saveNew(const Workbook& workbook, const QString& folder, const QString& stem,
                const Progress& progress, const Stop& stop)
{
    fileCommit::Output out(fileCommit::NewFileIn{folder, stem, QStringLiteral("xlsx")});
    out.begin();
    write(workbook, out, out.target(), progress, stop);
    return out.commit();
}

} // namespace XlsxFile
