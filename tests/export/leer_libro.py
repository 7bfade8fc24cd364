"""Dumps a workbook as JSON, read by openpyxl (an independent reader): every
cell of the active sheet with its value and type, fill, font and borders, and
the column widths as stored in the file, and the page set-up for printing."""
import hashlib
import json
import sys
import zipfile

import openpyxl
from openpyxl.utils import get_column_letter


def color(c):
    if c is None or c.type != "rgb" or c.rgb is None:
        return None
    return c.rgb


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.active
    cells = {}
    for row in sheet.iter_rows():
        for cell in row:
            fill = cell.fill
            cells[cell.coordinate] = {
                "valor": cell.value,
                "tipo": cell.data_type,
                "relleno": color(fill.fgColor) if fill.fill_type == "solid" else None,
                "fuente": cell.font.name,
                "tamano": cell.font.sz,
                "negrita": bool(cell.font.b),
                "colorFuente": color(cell.font.color),
                "bordes": [cell.border.left.style, cell.border.right.style,
                           cell.border.top.style, cell.border.bottom.style],
                "formato": cell.number_format,
            }
    widths = {}
    for letter, dim in sheet.column_dimensions.items():
        if dim.width is not None and dim.customWidth:
            for i in range(dim.min or 0, (dim.max or 0) + 1):
                if 1 <= i <= 50:
                    widths[get_column_letter(i)] = dim.width
    setup = sheet.page_setup
    header = sheet.oddHeader
    page = {
        "orientacion": setup.orientation,
        "papel": setup.paperSize,
        "ajustarAPagina": bool(sheet.sheet_properties.pageSetUpPr is not None
                               and sheet.sheet_properties.pageSetUpPr.fitToPage),
        # An attribute left out of the file stands for 1.
        "paginasAncho": 1 if setup.fitToWidth is None else setup.fitToWidth,
        "paginasAlto": 1 if setup.fitToHeight is None else setup.fitToHeight,
        "filasTitulo": sheet.print_title_rows,
        "encabezadoIzquierda": header.left.text,
        "encabezadoDerecha": header.right.text,
        "pie": sheet.oddFooter.center.text,
    }
    json.dump({"hojas": book.sheetnames, "filas": sheet.max_row, "columnas": sheet.max_column,
               "celdas": cells, "anchos": widths, "pagina": page}, sys.stdout)


def parts(path):
    """Every part of the file with the SHA-256 of its bytes, but the one that
    holds the moment the file was made."""
    with zipfile.ZipFile(path) as z:
        json.dump({n: hashlib.sha256(z.read(n)).hexdigest() for n in z.namelist()
                   if n != "docProps/core.xml"}, sys.stdout)


if sys.argv[1] == "--partes":
    parts(sys.argv[2])
else:
    main(sys.argv[1])
