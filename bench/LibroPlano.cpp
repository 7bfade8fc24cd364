#include "LibroPlano.h"

#include "platform/controls/GridModel.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <xlsxwriter.h>

namespace {

// A suite colour (blue-green-red) as the library's red-green-blue.
lxw_color_t rgb(int bgr)
{
    return static_cast<lxw_color_t>(((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF));
}

bool esNumero(const QString& t)
{
    if (t.isEmpty() || t.size() > 16)
        return false;
    int i = t.startsWith(u'-') ? 1 : 0;
    if (i >= t.size() || (t[i] == u'0' && i + 1 < t.size() && t[i + 1] != u'.'))
        return false;
    bool punto = false, digito = false;
    for (; i < t.size(); ++i) {
        if (t[i].isDigit())
            digito = true;
        else if (t[i] == u'.' && !punto && digito)
            punto = true;
        else
            return false;
    }
    return digito && !t.endsWith(u'.');
}

} // namespace

bool escribirLibroPlano(const GridModel& grilla, const QString& archivo)
{
    lxw_workbook_options opciones{};
    opciones.constant_memory = LXW_TRUE;
    const QByteArray nombre = QFile::encodeName(archivo);
    lxw_workbook* libro = workbook_new_opt(nombre.constData(), &opciones);
    if (!libro)
        return false;
    lxw_worksheet* hoja = workbook_add_worksheet(libro, "Hoja1");

    QList<int> columnas;
    for (int c = 0; c < grilla.cols(); ++c)
        if (grilla.colWidth(c) > 50)
            columnas << c;

    lxw_format* titulo = workbook_add_format(libro);
    format_set_font_name(titulo, "Calibri");
    format_set_font_size(titulo, 8);
    format_set_font_color(titulo, 0x0000FF);
    format_set_pattern(titulo, LXW_PATTERN_SOLID);
    format_set_bg_color(titulo, 0xC0C0C0);
    format_set_border(titulo, LXW_BORDER_THIN);
    for (int k = 0; k < columnas.size(); ++k)
        worksheet_write_string(hoja, 0, static_cast<lxw_col_t>(k),
                               grilla.text(0, columnas[k]).toUtf8().constData(), titulo);

    QHash<quint64, lxw_format*> formatos;
    QByteArray utf8;
    for (int r = 1; r < grilla.rows(); ++r)
        for (int k = 0; k < columnas.size(); ++k) {
            const int c = columnas[k];
            const int fondo = grilla.backColor(r, c);
            const double tamano = grilla.fontSize(r, c) > 0 ? grilla.fontSize(r, c) : 8.25;
            const bool negrita = grilla.fontBold(r, c);
            const int color = fondo <= 0 ? 0xFFFFFF : fondo;
            const quint64 clave = (quint64(color) << 32) |
                                  (quint64(static_cast<float>(tamano) * 4) << 1) | negrita;
            lxw_format*& f = formatos[clave];
            if (!f) {
                f = workbook_add_format(libro);
                format_set_font_name(f, "Tahoma");
                format_set_font_size(f, static_cast<float>(tamano));
                if (negrita)
                    format_set_bold(f);
                format_set_pattern(f, LXW_PATTERN_SOLID);
                format_set_bg_color(f, rgb(color));
            }
            QString t = grilla.text(r, c).trimmed();
            QString punto = t;
            punto.replace(u',', u'.');
            bool ok = false;
            if (punto.toDouble(&ok) > 0 && ok)
                t = punto;
            const auto fila = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(k);
            if (t.isEmpty())
                worksheet_write_blank(hoja, fila, col, f);
            else if (esNumero(t))
                worksheet_write_number(hoja, fila, col, t.toDouble(), f);
            else {
                utf8 = t.toUtf8();
                worksheet_write_string(hoja, fila, col, utf8.constData(), f);
            }
        }

    lxw_format* base = workbook_add_format(libro);
    format_set_font_name(base, "Calibri");
    format_set_font_size(base, 8);
    // The declared dimension is the cells' own, as the report writes it.
    const lxw_col_t primera = hoja->dim_colmin;
    const lxw_col_t ultima = hoja->dim_colmax;
    for (int k = 0; k < columnas.size(); ++k)
        worksheet_set_column(hoja, static_cast<lxw_col_t>(k), static_cast<lxw_col_t>(k),
                             grilla.colWidth(columnas[k]) / 90.0, base);
    worksheet_set_column(hoja, static_cast<lxw_col_t>(columnas.size()), 16383, 8.43, base);
    hoja->dim_colmin = primera;
    hoja->dim_colmax = ultima;
    return workbook_close(libro) == LXW_NO_ERROR;
}
