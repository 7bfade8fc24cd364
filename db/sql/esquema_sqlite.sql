-- Production-order report database, SQLite flavour.
--
-- Codes are TEXT COLLATE NOCASE and stored trimmed. The program's connections
-- redefine NOCASE so that it also ignores trailing blanks, the way the suite's
-- server compares codes ('OP' = 'op  '); indexes on code columns are therefore
-- only consistent when every writer installs that collation first.
-- Dates are TEXT 'YYYY-MM-DD HH:MM:SS', so that 'YYYY-MM-DD' literals compare
-- with them in calendar order; the CHECKs refuse any other form instead of
-- storing a date nobody can compare.
-- Yes/no columns hold 0 or 1; NULL is allowed where the suite allows it.

CREATE TABLE MA_CUENTAS (
    CODIGO      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    DESCRIPCION TEXT NOT NULL,
    TIPO        TEXT COLLATE NOCASE NOT NULL CHECK (TIPO IN ('C', 'P')),
    CONTACTO    TEXT,
    DOMICILIO   TEXT,
    LOCALIDAD   TEXT,
    TELEFONO    TEXT,
    CUIT        TEXT
);

CREATE TABLE MA_CONTACTOS (
    ID                INTEGER PRIMARY KEY,
    CUENTA            TEXT COLLATE NOCASE,
    NOMBRE_Y_APELLIDO TEXT NOT NULL,
    DOMICILIO         TEXT,
    LOCALIDAD         TEXT,
    TELEFONO          TEXT,
    EMAIL             TEXT
);
CREATE INDEX IX_MA_CONTACTOS_CUENTA ON MA_CONTACTOS (CUENTA);

-- Dimensions in millimetres; PESO_ESPECIFICO in kg/m3 (steel 7850).
CREATE TABLE MA_ARTICULOS (
    IDARTICULO      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    DESCRIPCION     TEXT NOT NULL,
    IDUNIDAD        TEXT COLLATE NOCASE,
    ANCHO           REAL,
    LARGO           REAL,
    PROFUNDO        REAL,
    PESO_ESPECIFICO REAL,
    LAMINADO        TEXT
);

-- Bill of materials: the primary key doubles as the lookup by produced article.
CREATE TABLE MA_INSUMOS (
    IDARTICULO        TEXT COLLATE NOCASE NOT NULL,
    IDARTICULOINSUMO  TEXT COLLATE NOCASE NOT NULL,
    CANTIDAD          REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (IDARTICULO, IDARTICULOINSUMO)
);

-- Voucher headers of both circuits: 'V' sales and production, 'C' purchases.
CREATE TABLE MV_CPTE (
    ID            INTEGER PRIMARY KEY,
    CIRCUITO      TEXT COLLATE NOCASE NOT NULL DEFAULT 'V' CHECK (CIRCUITO IN ('V', 'C')),
    TC            TEXT COLLATE NOCASE NOT NULL,
    IDCOMPROBANTE TEXT COLLATE NOCASE NOT NULL,
    IDCOMPLEMENTO INTEGER NOT NULL DEFAULT 0,
    FECHA         TEXT NOT NULL CHECK (FECHA GLOB
        '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    CUENTA        TEXT COLLATE NOCASE,
    NOMBRE        TEXT,
    OBSERVACIONES TEXT,
    COMENTARIOS   TEXT,
    IMPORTE       REAL NOT NULL DEFAULT 0,
    IMPORTE_S_IVA REAL NOT NULL DEFAULT 0,
    FINALIZADA    INTEGER DEFAULT 0 CHECK (FINALIZADA IN (0, 1)),
    ANULADA       INTEGER DEFAULT 0 CHECK (ANULADA IN (0, 1)),
    APROBADO      INTEGER DEFAULT 0 CHECK (APROBADO IN (0, 1)),
    GARANTIA      INTEGER DEFAULT 0 CHECK (GARANTIA IN (0, 1)),
    UNIQUE (TC, IDCOMPROBANTE, IDCOMPLEMENTO)
);
CREATE INDEX IX_MV_CPTE_FECHA ON MV_CPTE (TC, FECHA);
CREATE INDEX IX_MV_CPTE_CUENTA ON MV_CPTE (CUENTA);

-- Voucher lines. No foreign keys: the suite keeps lines whose article was
-- removed or never coded, and a key to the header would make bulk loads check
-- every line against it.
CREATE TABLE MV_CPTEINSUMOS (
    TC            TEXT COLLATE NOCASE NOT NULL,
    IDCOMPROBANTE TEXT COLLATE NOCASE NOT NULL,
    IDCOMPLEMENTO INTEGER NOT NULL DEFAULT 0,
    LINEA         INTEGER NOT NULL,
    IDARTICULO    TEXT COLLATE NOCASE,
    DESCRIPCION   TEXT,
    IDUNIDAD      TEXT COLLATE NOCASE,
    CANTIDAD      REAL NOT NULL DEFAULT 0,
    CANTIDADUD    REAL,
    IMPORTE       REAL NOT NULL DEFAULT 0,
    TOTAL         REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (TC, IDCOMPROBANTE, IDCOMPLEMENTO, LINEA)
);
CREATE INDEX IX_MV_CPTEINSUMOS_ARTICULO ON MV_CPTEINSUMOS (IDARTICULO);

-- Vouchers handed to outside parties (workshops, platers) and their return.
CREATE TABLE MV_CPTETERCEROS (
    ID            INTEGER PRIMARY KEY,
    TC            TEXT COLLATE NOCASE NOT NULL,
    IDCOMPROBANTE TEXT COLLATE NOCASE NOT NULL,
    IDCOMPLEMENTO INTEGER NOT NULL DEFAULT 0,
    FECHA         TEXT NOT NULL CHECK (FECHA GLOB
        '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    CUENTA        TEXT COLLATE NOCASE,
    FECHAENVIADO  TEXT CHECK (FECHAENVIADO GLOB
        '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    FECHARECIBIDO TEXT CHECK (FECHARECIBIDO GLOB
        '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    OBSERVACIONES TEXT
);

-- SALDO NULL means nothing was taken yet: the whole IMPORTE is pending.
CREATE TABLE MV_CARGOSAPLICADOS (
    ID            INTEGER PRIMARY KEY,
    CUENTA        TEXT COLLATE NOCASE NOT NULL,
    FECHA         TEXT NOT NULL CHECK (FECHA GLOB
        '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'),
    MATRICULA     TEXT,
    CONCEPTO      TEXT,
    IMPORTE       REAL NOT NULL DEFAULT 0,
    SALDO         REAL,
    OBSERVACIONES TEXT
);
CREATE INDEX IX_MV_CARGOSAPLICADOS_CUENTA ON MV_CARGOSAPLICADOS (CUENTA);

CREATE TABLE TA_CONFIGURACION (
    CLAVE       TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    VALOR       TEXT,
    DESCRIPCION TEXT
);

CREATE TABLE TA_REPORTES (
    NOMBRE      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    ARCHIVO     TEXT,
    DESCRIPCION TEXT
);

CREATE TABLE CONTROL_ACCESO (
    ID         INTEGER PRIMARY KEY,
    MAQUINA    TEXT,
    USUARIO    TEXT,
    FORMULARIO TEXT,
    TAREA      TEXT,
    INGRESO    TEXT NOT NULL CHECK (INGRESO GLOB
        '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]')
);
