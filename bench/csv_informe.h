/* What the export's and the PDF's references share: reading the report's CSV
 * (comma separator, RFC 4180 quoting, CRLF, a leading apostrophe before a text
 * that would read as a formula) and the value a grid text goes into a sheet
 * as. Plain C, for the C reference and the Qt one alike. */
#ifndef CSV_INFORME_H
#define CSV_INFORME_H

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The report's visible columns, their widths in twips (90 to a character). */
static const int anchos[] = {1500, 2500, 4500, 1200, 1200, 1200, 1200};
enum { Columnas = 7 };

/* ------------------------------------------------------------- reading */

typedef struct {
    char *texto;
    size_t largo, lugar;
} Texto;

static void agregar(Texto *t, char c)
{
    if (t->largo + 1 >= t->lugar) {
        t->lugar = t->lugar ? t->lugar * 2 : 256;
        t->texto = (char *)realloc(t->texto, t->lugar);
        if (!t->texto) {
            fputs("libro_referencia: sin memoria\n", stderr);
            exit(1);
        }
    }
    t->texto[t->largo++] = c;
}

/* One CSV record into `campos` (at most Columnas), each NUL-terminated inside
 * `buffer`. Returns the number of fields, 0 at the end of the file. */
static int leerFila(FILE *f, Texto *buffer, size_t *inicio)
{
    int n = 0;
    int c = getc(f);
    if (c == EOF)
        return 0;
    buffer->largo = 0;
    for (;;) {
        inicio[n++] = buffer->largo;
        if (c == '"') {
            for (;;) {
                c = getc(f);
                if (c == EOF)
                    break;
                if (c == '"') {
                    c = getc(f);
                    if (c != '"')
                        break;
                }
                agregar(buffer, (char)c);
            }
        } else {
            while (c != EOF && c != ',' && c != '\r' && c != '\n') {
                agregar(buffer, (char)c);
                c = getc(f);
            }
        }
        agregar(buffer, '\0');
        if (c == ',' && n < Columnas + 1) {
            c = getc(f);
            continue;
        }
        if (c == '\r')
            c = getc(f);
        return n;
    }
}

/* --------------------------------------------------------- cell values */

static int digito(char c) { return c >= '0' && c <= '9'; }

/* A text the CSV wrote with an apostrophe ahead, so that a spreadsheet would
 * not run it: the grid's own text. */
static const char *sinApostrofe(const char *t)
{
    if (t[0] == '\'' && t[1] && strchr("=+-@\t\r", t[1]))
        return t + 1;
    return t;
}

/* A positive amount, as an amount of four decimals reads it (either separator,
 * thousands allowed, an exponent), or a plain positive decimal too small for
 * four decimals ("0,00000005"). A number of more than 15 whole digits is no
 * amount. */
static int positivo(const char *t, size_t n)
{
    size_t i = 0;
    int negativo = 0;
    if (i < n && (t[i] == '-' || t[i] == '+'))
        negativo = t[i++] == '-';
    size_t fin = i;
    while (fin < n && t[fin] != 'e' && t[fin] != 'E')
        ++fin;
    long exponente = 0;
    if (fin < n) {
        size_t k = fin + 1;
        int signo = 1;
        if (k < n && (t[k] == '+' || t[k] == '-'))
            signo = t[k++] == '-' ? -1 : 1;
        if (k == n)
            return 0;
        for (; k < n; ++k) {
            if (!digito(t[k]))
                return 0;
            if (exponente < 100000)
                exponente = exponente * 10 + (t[k] - '0');
        }
        exponente *= signo;
    }
    /* The decimal separator: the last of the two when both are there, else
     * the only one when it is alone. */
    size_t puntos = 0, comas = 0, ultimoPunto = 0, ultimaComa = 0;
    for (size_t k = i; k < fin; ++k) {
        if (t[k] == '.')
            ++puntos, ultimoPunto = k;
        else if (t[k] == ',')
            ++comas, ultimaComa = k;
        else if (!digito(t[k]))
            return 0;
    }
    char decimal = 0;
    if (puntos && comas)
        decimal = ultimoPunto > ultimaComa ? '.' : ',';
    else if (puntos == 1)
        decimal = '.';
    else if (comas == 1)
        decimal = ',';
    if (decimal && (decimal == '.' ? puntos : comas) > 1)
        return 0;
    long punto = -1, cifras = 0, primera = -1;
    char d[128];
    for (size_t k = i; k < fin; ++k) {
        if (digito(t[k])) {
            if (primera < 0 && t[k] != '0')
                primera = cifras;
            if (cifras < (long)sizeof d)
                d[cifras] = t[k];
            ++cifras;
        } else if (t[k] == decimal)
            punto = cifras;
    }
    if (cifras == 0)
        return 0;
    if (punto < 0)
        punto = cifras;
    if (primera < 0 || negativo)
        return 0;
    const long cae = punto + exponente - primera;
    if (cae > 15)
        return 0;
    if (cae >= -3)
        return 1;
    if (cae == -4) {
        /* The first digit is the fifth decimal: it rounds up when above half. */
        if (d[primera] > '5')
            return 1;
        if (d[primera] == '5')
            for (long k = primera + 1; k < cifras && k < (long)sizeof d; ++k)
                if (d[k] != '0')
                    return 1;
    }
    /* Rounded to nothing: a plain decimal still says it is above zero. */
    if (exponente != 0 || fin < n || i > 0 || puntos + comas > 1)
        return 0;
    return 1;
}

static int espacio(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/* The value a grid text goes into the sheet as: trimmed, a positive amount
 * written with a comma taking a point. */
static char *valor(const char *original)
{
    static Texto v;
    const char *t = sinApostrofe(original);
    size_t n = strlen(t);
    while (n && espacio((unsigned char)t[0]))
        ++t, --n;
    while (n && espacio((unsigned char)t[n - 1]))
        --n;
    v.largo = 0;
    for (size_t k = 0; k < n; ++k)
        agregar(&v, t[k]);
    agregar(&v, '\0');
    if (memchr(v.texto, ',', n) && positivo(v.texto, n))
        for (size_t k = 0; k < n; ++k)
            if (v.texto[k] == ',')
                v.texto[k] = '.';
    return v.texto;
}

/* A plain decimal number: an optional minus, digits with no leading zero,
 * optionally a point and digits, optionally an exponent, at most 15
 * significant digits. Anything else, a code with leading zeros included, is
 * a text. */
static int numero(const char *t, double *out)
{
    size_t n = strlen(t), i = 0;
    if (i < n && t[i] == '-')
        ++i;
    const size_t e0 = i;
    while (i < n && digito(t[i]))
        ++i;
    const size_t e1 = i;
    if (e1 == e0)
        return 0;
    size_t f0 = i, f1 = i;
    if (i < n && t[i] == '.') {
        f0 = ++i;
        while (i < n && digito(t[i]))
            ++i;
        f1 = i;
        if (f1 == f0)
            return 0;
    }
    if (i < n && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ++i;
        const size_t x = i;
        while (i < n && digito(t[i]))
            ++i;
        if (i == x)
            return 0;
    }
    if (i != n || (e1 - e0 > 1 && t[e0] == '0'))
        return 0;
    size_t primera = e0;
    while (primera < e1 && t[primera] == '0')
        ++primera;
    size_t ultima = f1;
    while (ultima > f0 && t[ultima - 1] == '0')
        --ultima;
    size_t significativas = e1 - primera;
    if (significativas == 0) {
        size_t j = f0;
        while (j < ultima && t[j] == '0')
            ++j;
        significativas = ultima - j;
    } else
        significativas += ultima - f0;
    if (significativas > 15 || n >= 64)
        return 0;
    /* Out of a double's range either way ("1E400", "1E-400") is no number. */
    char *fin;
    errno = 0;
    const double v = strtod(t, &fin);
    if (fin != t + n || errno == ERANGE)
        return 0;
    *out = v == 0 ? 0.0 : v;
    return 1;
}

#endif
