/* The export's reference: a plain C program, libxlsxwriter alone, that reads
 * the report's CSV (`rp_oproduccion ... --csv=F` under a point locale: comma
 * separator, RFC 4180 quoting, CRLF, a leading apostrophe before a text that
 * would read as a formula) and writes the workbook `--xlsx` writes for the
 * same grid: the same cells, the same number-or-text decision, the same
 * formats, column widths and print set-up, so that the sheet, styles and
 * workbook parts of the two files are the same bytes.
 *
 *     libro_referencia IN.csv OUT.xlsx [TITLE]
 *
 * What it knows of the report beyond the CSV is what the report's layout
 * fixes: the column widths, an order line's green fill, the title in the
 * page header. It shares no code with the program. */

#include "csv_informe.h"

#include <xlsxwriter.h>

/* ------------------------------------------------------------- writing */

static void escribir(lxw_worksheet *hoja, lxw_row_t fila, lxw_col_t col, const char *texto,
                     lxw_format *formato)
{
    double v;
    if (!*texto)
        worksheet_write_blank(hoja, fila, col, formato);
    else if (numero(texto, &v))
        worksheet_write_number(hoja, fila, col, v, formato);
    else
        worksheet_write_string(hoja, fila, col, texto, formato);
}

static lxw_format *formatoDatos(lxw_workbook *libro, lxw_color_t fondo)
{
    lxw_format *f = workbook_add_format(libro);
    format_set_font_name(f, "Tahoma");
    format_set_font_size(f, 8.25);
    format_set_pattern(f, LXW_PATTERN_SOLID);
    format_set_bg_color(f, fondo);
    return f;
}

/* A4 paper's printable width, portrait, with 0.7 in margins, in points; a
 * column's width on paper as the spreadsheet program measures it. */
static const double AnchoVertical = 595.2755905511812 - 2 * 0.7 * 72;
static double puntosColumna(double caracteres)
{
    const double pixeles = caracteres < 1 ? (double)(long)(caracteres * 12 + 0.5)
                                          : (double)(long)(caracteres * 7 + 0.5) + 5;
    return pixeles * 0.75;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fputs("uso: libro_referencia ENTRADA.csv SALIDA.xlsx [TÍTULO]\n", stderr);
        return 2;
    }
    FILE *csv = fopen(argv[1], "rb");
    if (!csv) {
        perror(argv[1]);
        return 1;
    }
    static char bufer[1 << 16];
    setvbuf(csv, bufer, _IOFBF, sizeof bufer);
    const char *titulo = argc > 3 ? argv[3] : "Hoja1";

    lxw_workbook_options opciones = {0};
    opciones.constant_memory = LXW_TRUE;
    lxw_workbook *libro = workbook_new_opt(argv[2], &opciones);
    if (!libro)
        return 1;
    lxw_worksheet *hoja = workbook_add_worksheet(libro, "Hoja1");

    Texto buffer = {0};
    size_t inicio[Columnas + 1];
    int n = leerFila(csv, &buffer, inicio);
    if (n != Columnas) {
        fprintf(stderr, "libro_referencia: %s no tiene los %d títulos del informe\n", argv[1],
                Columnas);
        return 1;
    }
    /* The titles: blue on grey, framed. */
    lxw_format *titulos = workbook_add_format(libro);
    format_set_font_name(titulos, "Calibri");
    format_set_font_size(titulos, 8);
    format_set_font_color(titulos, 0x0000FF);
    format_set_pattern(titulos, LXW_PATTERN_SOLID);
    format_set_bg_color(titulos, 0xC0C0C0);
    format_set_border(titulos, LXW_BORDER_THIN);
    for (int k = 0; k < Columnas; ++k)
        escribir(hoja, 0, (lxw_col_t)k, buffer.texto + inicio[k], titulos);

    /* An order line (its order number in the first column) green, its supplies
     * white. Formats made on first use, as a writer keeping one per look. */
    lxw_format *verde = NULL, *blanco = NULL;
    lxw_row_t fila = 1;
    while ((n = leerFila(csv, &buffer, inicio)) > 0) {
        if (n != Columnas) {
            fprintf(stderr, "libro_referencia: la fila %u de %s tiene %d campos\n", fila + 1,
                    argv[1], n);
            return 1;
        }
        lxw_format **f = *sinApostrofe(buffer.texto) ? &verde : &blanco;
        if (!*f)
            *f = formatoDatos(libro, f == &verde ? 0x00FF00 : 0xFFFFFF);
        for (int k = 0; k < Columnas; ++k)
            escribir(hoja, fila, (lxw_col_t)k, valor(buffer.texto + inicio[k]), *f);
        ++fila;
    }
    fclose(csv);
    /* The grid keeps an empty row at its end, ready for the next line. */
    if (!blanco)
        blanco = formatoDatos(libro, 0xFFFFFF);
    for (int k = 0; k < Columnas; ++k)
        worksheet_write_blank(hoja, fila, (lxw_col_t)k, blanco);

    lxw_format *base = workbook_add_format(libro);
    format_set_font_name(base, "Calibri");
    format_set_font_size(base, 8);
    double ancho = 0;
    /* The declared dimension is the cells' own, as the report writes it. */
    const lxw_col_t primera = hoja->dim_colmin, ultima = hoja->dim_colmax;
    for (int k = 0; k < Columnas; ++k) {
        worksheet_set_column(hoja, (lxw_col_t)k, (lxw_col_t)k, anchos[k] / 90.0, base);
        ancho += puntosColumna(anchos[k] / 90.0);
    }
    worksheet_set_column(hoja, Columnas, LXW_COL_MAX - 1, 8.43, base);
    hoja->dim_colmin = primera;
    hoja->dim_colmax = ultima;

    /* On paper: A4, one page wide, landscape when the columns do not fit
     * portrait, the titles on every page, the title and the date on top, the
     * page number below. */
    worksheet_set_paper(hoja, 9);
    worksheet_fit_to_pages(hoja, 1, 0);
    if (ancho > AnchoVertical + 1e-6)
        worksheet_set_landscape(hoja);
    worksheet_repeat_rows(hoja, 0, 0);
    char encabezado[LXW_HEADER_FOOTER_MAX + 1];
    snprintf(encabezado, sizeof encabezado, "&L&\"-,Bold\"&10%s&R&\"-,Regular\"&8&D", titulo);
    worksheet_set_header(hoja, encabezado);
    worksheet_set_footer(hoja, "&C&8P\xc3\xa1gina &P de &N");
    return workbook_close(libro) == LXW_NO_ERROR ? 0 : 1;
}
