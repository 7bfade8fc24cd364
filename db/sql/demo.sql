-- Demonstration data: a small metal and carpentry workshop, October and
-- November 2026. Every name, code and number is fictional. Portable SQL: the
-- same text loads into SQLite and PostgreSQL.
--
-- Order 000100000001A line 1 is the plainest estimate: ten steel trays
-- BAN-1000X2000 of 1000 x 2000 x 3 mm, of steel sheet at 7850 kg/m3, take
-- 471 kg. PAN-LAM-1220, PUE-LAM-800, EST-AL-1500 and TAP-LAM-500 are
-- laminated ('SI', 'S', '1', 'si'); SOP-PARED-150 has no bill of materials;
-- EST-SOLD-ESP has no dimensions; TORN-M6 has no specific weight.

INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, TIPO, CONTACTO, DOMICILIO, LOCALIDAD, TELEFONO, CUIT) VALUES
('110000001', 'Metalúrgica San Martín S.A.', 'C', 'Ing. Rodolfo Peña', 'Av. Libertador 1250', 'San Martín', '011 4755-2031', '30-71234567-1'),
('110000002', 'Carpintería Los Álamos S.R.L.', 'C', 'Marta Quiroga', 'Calle 12 Nº 845', 'La Plata', '0221 482-1190', '30-70987654-3'),
('110000003', 'Construcciones Patagónicas S.A.', 'C', 'Julián Ñancupil', 'Ruta 22 km 1203', 'Neuquén', '0299 443-8812', '30-71555888-9'),
('110000004', 'Equipamientos Córdoba S.A.', 'C', 'Lucía Ferreyra', 'Bv. San Juan 410', 'Córdoba', '0351 422-7765', '30-70444222-5'),
('110000005', 'Instalaciones del Litoral S.R.L.', 'C', 'Tomás Gaitán', 'Bv. Gálvez 1733', 'Santa Fe', '0342 455-0912', '30-71666111-7'),
('210000001', 'Aceros del Paraná S.A.', 'P', 'Héctor Ibáñez', 'Ruta 9 km 247', 'Villa Constitución', '03400 47-5521', '30-50111222-4'),
('210000002', 'Aluminios Andinos S.R.L.', 'P', 'Sofía Aráoz', 'Carril Rodríguez Peña 2100', 'Mendoza', '0261 431-6677', '30-70333444-2'),
('210000003', 'Galvanizadora del Plata S.A.', 'P', 'Ramón Echeverría', 'Av. Mitre 3300', 'Avellaneda', '011 4201-7788', '30-69555666-0'),
('P0042', 'Maderera El Ñandú', 'P', 'Óscar Benítez', 'Av. Uruguay 5020', 'Posadas', '0376 445-3300', '20-23456789-6'),
('210000005', 'Pinturas Industriales Cuyo S.A.', 'P', 'Inés Zárate', 'Calle Mendoza 870 Sur', 'San Juan', '0264 421-9090', '30-71777999-1');

INSERT INTO MA_CONTACTOS (CUENTA, NOMBRE_Y_APELLIDO, DOMICILIO, LOCALIDAD, TELEFONO, EMAIL) VALUES
('110000001', 'Rodolfo Peña', 'Av. Libertador 1250', 'San Martín', '011 4755-2031', 'compras@sanmartin.example'),
('110000002', 'Marta Quiroga', 'Calle 12 Nº 845', 'La Plata', '0221 482-1190', 'marta@losalamos.example'),
('110000003', 'Julián Ñancupil', 'Ruta 22 km 1203', 'Neuquén', '0299 443-8812', NULL),
('210000001', 'Héctor Ibáñez', 'Ruta 9 km 247', 'Villa Constitución', '03400 47-5521', 'ventas@acerosparana.example'),
('P0042', 'Óscar Benítez', 'Av. Uruguay 5020', 'Posadas', '0376 445-3300', NULL);

-- Raw materials: specific weight in kg/m3, no dimensions of their own.
INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, IDUNIDAD, ANCHO, LARGO, PROFUNDO, PESO_ESPECIFICO, LAMINADO) VALUES
('CH-AC-SAE1010', 'Chapa de acero SAE 1010', 'KG', NULL, NULL, NULL, 7850, NULL),
('CH-AC-INOX304', 'Chapa de acero inoxidable AISI 304', 'KG', NULL, NULL, NULL, 7930, NULL),
('CH-GALV-18', 'Chapa galvanizada calibre 18', 'KG', NULL, NULL, NULL, 7850, NULL),
('CH-AL-1050', 'Chapa de aluminio 1050', 'KG', NULL, NULL, NULL, 2700, NULL),
('PERF-AL-6063', 'Perfil de aluminio 6063', 'KG', NULL, NULL, NULL, 2700, NULL),
('CH-CU-ETP', 'Planchuela de cobre electrolítico', 'KG', NULL, NULL, NULL, 8960, NULL),
('BAR-LATON', 'Barra de latón', 'KG', NULL, NULL, NULL, 8500, NULL),
('LAM-PVC-08', 'Lámina de PVC 0,8 mm', 'M2', NULL, NULL, NULL, 1380, NULL),
('LAM-PE-05', 'Lámina de polietileno 0,5 mm', 'M2', NULL, NULL, NULL, 950, NULL),
('PINT-EPOXI', 'Pintura epoxi en polvo', 'KG', NULL, NULL, NULL, 1400, NULL),
('TABLA-PINO', 'Tabla de pino elliottis', 'M2', NULL, NULL, NULL, 500, NULL),
('VID-FLOAT-6', 'Vidrio float 6 mm', 'M2', NULL, NULL, NULL, 2500, NULL),
('TORN-M6', 'Tornillo M6 zincado', 'UN', NULL, NULL, NULL, NULL, NULL);

-- Produced articles: width, length and depth in millimetres.
INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, IDUNIDAD, ANCHO, LARGO, PROFUNDO, PESO_ESPECIFICO, LAMINADO) VALUES
('BAN-1000X2000', 'Bandeja de acero 1000 × 2000 × 3 mm', 'UN', 1000, 2000, 3, NULL, 'NO'),
('GAB-INOX-600', 'Gabinete de acero inoxidable 600 × 800', 'UN', 600, 800, 1.5, NULL, NULL),
('PAN-LAM-1220', 'Panel laminado 1220 × 2440 × 18 mm', 'UN', 1220, 2440, 18, NULL, 'SI'),
('PUE-LAM-800', 'Puerta placa laminada 800 × 2000', 'UN', 800, 2000, 40, NULL, 'S'),
('EST-AL-1500', 'Estante de aluminio 400 × 1500', 'UN', 400, 1500, 2, NULL, '1'),
('TAP-LAM-500', 'Tapa laminada 500 × 500 × 12 mm', 'UN', 500, 500, 12, NULL, 'si'),
('BAR-CU-300', 'Barra colectora de cobre 50 × 300 × 10', 'UN', 50, 300, 10, NULL, NULL),
('CAJ-GALV-400', 'Caja de paso galvanizada 400 × 400', 'UN', 400, 400, 1.25, NULL, 'NO'),
('MAR-VID-900', 'Marco de aluminio con vidrio 900 × 1200', 'UN', 900, 1200, 6, NULL, 'N'),
('SOP-PARED-150', 'Soporte de pared 100 × 150 × 4 mm', 'UN', 100, 150, 4, NULL, 'NO'),
('EST-SOLD-ESP', 'Estructura soldada a pedido', 'UN', NULL, NULL, NULL, NULL, NULL);

INSERT INTO MA_INSUMOS (IDARTICULO, IDARTICULOINSUMO, CANTIDAD) VALUES
('BAN-1000X2000', 'CH-AC-SAE1010', 1),
('GAB-INOX-600', 'CH-AC-INOX304', 2),
('GAB-INOX-600', 'TORN-M6', 16),
('PAN-LAM-1220', 'TABLA-PINO', 1),
('PAN-LAM-1220', 'LAM-PVC-08', 2),
('PUE-LAM-800', 'TABLA-PINO', 1),
('PUE-LAM-800', 'LAM-PE-05', 2),
('PUE-LAM-800', 'TORN-M6', 8),
('EST-AL-1500', 'CH-AL-1050', 1),
('EST-AL-1500', 'PERF-AL-6063', 4),
('EST-AL-1500', 'TORN-M6', 12),
('TAP-LAM-500', 'TABLA-PINO', 1),
('TAP-LAM-500', 'LAM-PVC-08', 1),
('BAR-CU-300', 'CH-CU-ETP', 1),
('BAR-CU-300', 'BAR-LATON', 0.2),
('CAJ-GALV-400', 'CH-GALV-18', 1),
('CAJ-GALV-400', 'PINT-EPOXI', 0.3),
('CAJ-GALV-400', 'TORN-M6', 4),
('MAR-VID-900', 'VID-FLOAT-6', 1),
('MAR-VID-900', 'PERF-AL-6063', 4),
('EST-SOLD-ESP', 'CH-AC-SAE1010', 3),
('EST-SOLD-ESP', 'PINT-EPOXI', 1.5);

-- Production orders: October mostly finished, November mostly pending.
INSERT INTO MV_CPTE (CIRCUITO, TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, CUENTA, NOMBRE, OBSERVACIONES, FINALIZADA, ANULADA, APROBADO) VALUES
('V', 'OP', '000100000001A', 0, '2026-10-01 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', 'Bandejas para la línea de pintura', 1, 0, 1),
('V', 'OP', '000100000002A', 0, '2026-10-02 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Amoblamiento de oficinas', 1, 0, 1),
('V', 'OP', '000100000003A', 0, '2026-10-06 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', NULL, 1, 0, 1),
('V', 'OP', '000100000004A', 0, '2026-10-08 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Aberturas para obra Tolosa', 1, 0, 1),
('V', 'OP', '000100000005A', 0, '2026-10-13 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', 'Tablero general y estructura', 1, 0, 1),
('V', 'OP', '000100000006A', 0, '2026-10-15 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', NULL, 1, 0, 1),
('V', 'OP', '000100000007A', 0, '2026-10-20 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', 'Entrega en planta, portón 3', 1, 0, 1),
('V', 'OP', '000100000008A', 0, '2026-10-22 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', 'Paneles con pintura de terceros', 0, 0, 1),
('V', 'OP', '000100000009A', 0, '2026-10-27 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', NULL, 1, 0, 1),
('V', 'OP', '000100000010A', 0, '2026-10-29 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', 'Urgente: prioridad alta', 0, 0, 1),
('V', 'OP', '000100000011A', 0, '2026-11-02 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', NULL, 0, 0, 1),
('V', 'OP', '000100000012A', 0, '2026-11-04 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', 'Repetición de la OP 1', 1, 0, 1),
('V', 'OP', '000100000013A', 0, '2026-11-09 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', 'Perfiles anodizados por terceros', 0, 0, 1),
('V', 'OP', '000100000014A', 0, '2026-11-11 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', NULL, 0, 0, 1),
('V', 'OP', '000100000015A', 0, '2026-11-13 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', 'Retira el cliente', 1, 0, 1),
('V', 'OP', '000100000016A', 0, '2026-11-17 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', NULL, 0, 0, 1),
('V', 'OP', '000100000017A', 0, '2026-11-19 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Soportes para estanterías', 0, 0, 1),
('V', 'OP', '000100000018A', 0, '2026-11-24 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', NULL, 0, 0, 1),
('V', 'OP', '000100000019A', 0, '2026-11-26 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', 'Estructura según plano 114-B', 0, 0, 1),
('V', 'OP', '000100000020A', 0, '2026-11-30 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', NULL, 0, 0, 1);

-- Descriptions, units and totals are filled in below from the articles.
INSERT INTO MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IDCOMPLEMENTO, LINEA, IDARTICULO, CANTIDAD, IMPORTE) VALUES
('OP', '000100000001A', 0, 1, 'BAN-1000X2000', 10, 85400),
('OP', '000100000001A', 0, 2, 'GAB-INOX-600', 2, 312000),
('OP', '000100000002A', 0, 1, 'PAN-LAM-1220', 5, 68500),
('OP', '000100000002A', 0, 2, 'TAP-LAM-500', 20, 14200),
('OP', '000100000002A', 0, 3, 'SOP-PARED-150', 50, 3900),
('OP', '000100000003A', 0, 1, 'EST-AL-1500', 8, 45800),
('OP', '000100000003A', 0, 2, 'CAJ-GALV-400', 12, 22750),
('OP', '000100000004A', 0, 1, 'PUE-LAM-800', 3, 121000),
('OP', '000100000004A', 0, 2, 'MAR-VID-900', 3, 98300),
('OP', '000100000005A', 0, 1, 'BAR-CU-300', 40, 18900),
('OP', '000100000005A', 0, 2, 'CAJ-GALV-400', 6, 22750),
('OP', '000100000005A', 0, 3, 'EST-SOLD-ESP', 1, 1450000),
('OP', '000100000006A', 0, 1, 'GAB-INOX-600', 1, 312000),
('OP', '000100000006A', 0, 2, 'SOP-PARED-150', 24, 3900),
('OP', '000100000007A', 0, 1, 'BAN-1000X2000', 4, 85400),
('OP', '000100000007A', 0, 2, 'EST-AL-1500', 10, 45800),
('OP', '000100000007A', 0, 3, 'TAP-LAM-500', 8, 14200),
('OP', '000100000007A', 0, 4, 'CAJ-GALV-400', 2, 22750),
('OP', '000100000008A', 0, 1, 'PAN-LAM-1220', 12, 68500),
('OP', '000100000008A', 0, 2, 'PUE-LAM-800', 6, 121000),
('OP', '000100000009A', 0, 1, 'MAR-VID-900', 10, 98300),
('OP', '000100000009A', 0, 2, 'SOP-PARED-150', 100, 3900),
('OP', '000100000010A', 0, 1, 'EST-SOLD-ESP', 2, 1450000),
('OP', '000100000010A', 0, 2, 'BAR-CU-300', 15, 18900),
('OP', '000100000011A', 0, 1, 'TAP-LAM-500', 30, 14200),
('OP', '000100000011A', 0, 2, 'PAN-LAM-1220', 4, 68500),
('OP', '000100000011A', 0, 3, 'PUE-LAM-800', 2, 121000),
('OP', '000100000012A', 0, 1, 'GAB-INOX-600', 3, 312000),
('OP', '000100000012A', 0, 2, 'BAN-1000X2000', 6, 85400),
('OP', '000100000013A', 0, 1, 'EST-AL-1500', 20, 45800),
('OP', '000100000013A', 0, 2, 'MAR-VID-900', 5, 98300),
('OP', '000100000014A', 0, 1, 'CAJ-GALV-400', 25, 22750),
('OP', '000100000014A', 0, 2, 'BAR-CU-300', 30, 18900),
('OP', '000100000014A', 0, 3, 'SOP-PARED-150', 60, 3900),
('OP', '000100000015A', 0, 1, 'PUE-LAM-800', 4, 121000),
('OP', '000100000015A', 0, 2, 'TAP-LAM-500', 12, 14200),
('OP', '000100000016A', 0, 1, 'BAN-1000X2000', 8, 85400),
('OP', '000100000016A', 0, 2, 'GAB-INOX-600', 2, 312000),
('OP', '000100000016A', 0, 3, 'EST-AL-1500', 5, 45800),
('OP', '000100000016A', 0, 4, 'PAN-LAM-1220', 3, 68500),
('OP', '000100000017A', 0, 1, 'SOP-PARED-150', 200, 3900),
('OP', '000100000017A', 0, 2, 'CAJ-GALV-400', 10, 22750),
('OP', '000100000018A', 0, 1, 'MAR-VID-900', 8, 98300),
('OP', '000100000018A', 0, 2, 'PUE-LAM-800', 8, 121000),
('OP', '000100000018A', 0, 3, 'TAP-LAM-500', 16, 14200),
('OP', '000100000019A', 0, 1, 'EST-SOLD-ESP', 1, 1450000),
('OP', '000100000019A', 0, 2, 'BAN-1000X2000', 2, 85400),
('OP', '000100000020A', 0, 1, 'BAR-CU-300', 25, 18900),
('OP', '000100000020A', 0, 2, 'GAB-INOX-600', 4, 312000),
('OP', '000100000020A', 0, 3, 'EST-AL-1500', 6, 45800);

-- Other vouchers, so that every lookup of the voucher dialog lists something.
-- The NP numbered like order 1 must stay out of the production-order report.
INSERT INTO MV_CPTE (CIRCUITO, TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, CUENTA, NOMBRE, COMENTARIOS, IMPORTE, FINALIZADA, ANULADA, APROBADO, GARANTIA) VALUES
('V', 'RM', '000100000101A', 0, '2026-10-03 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', NULL, 1478000, 1, 0, 1, 0),
('V', 'RM', '000100000102A', 0, '2026-11-05 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Entrega parcial', 612500, 0, 0, 1, 0),
('V', 'RM', '000100000103A', 0, '2026-11-20 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', NULL, 229000, 0, 0, 0, 0),
('V', 'RM', '000100000104A', 0, '2026-11-21 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', 'Anulado por error de carga', 98300, 0, 1, 0, 0),
('V', 'FC', '000100000201A', 1, '2026-10-10 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', NULL, 1788380, 1, 0, 1, 0),
('V', 'FC', '000100000202A', 1, '2026-11-06 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', NULL, 741125, 0, 0, 1, 0),
('V', 'FC', '000100000203B', 2, '2026-11-18 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', NULL, 377520, 0, 1, 0, 0),
('V', 'NC', '000100000301A', 0, '2026-11-12 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Bonificación por demora', 45000, 1, 0, 1, 0),
('V', 'NC', '000100000302A', 0, '2026-11-25 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', NULL, 12800, 0, 0, 0, 0),
('V', 'ND', '000100000351A', 0, '2026-11-27 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', 'Intereses por mora', 23750.5, 0, 0, 1, 0),
('V', 'OT', '000100000401A', 1, '2026-10-14 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', 'Reparación de portón', 185000, 1, 0, 1, 0),
('V', 'OT', '000100000402A', 2, '2026-11-03 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', 'Mantenimiento de bandejas', 96400, 0, 0, 1, 0),
('V', 'OT', '000100000403A', 1, '2026-11-23 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', NULL, 54000, 0, 0, 0, 0),
('V', 'NP', '000100000501A', 0, '2026-10-21 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', NULL, 820000, 1, 0, 1, 0),
('V', 'NP', '000100000502A', 0, '2026-11-16 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', 'Entrega parcial acordada', 433500, 0, 0, 1, 0),
('V', 'NP', '000100000001A', 0, '2026-11-28 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Pedido de repuestos', 39000, 0, 0, 1, 0),
('V', 'NPCL', '000100000551A', 0, '2026-11-10 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', 'Pedido web', 128900, 0, 0, 1, 0),
('V', 'OF', '000100000601A', 0, '2026-10-16 00:00:00', '110000002', 'Carpintería Los Álamos S.R.L.', 'Validez 15 días', 352000, 0, 0, 1, 0),
('V', 'OF', '000100000602A', 0, '2026-11-08 00:00:00', '110000003', 'Construcciones Patagónicas S.A.', NULL, 1190000, 1, 0, 1, 0),
('V', 'PR', '000100000701A', 0, '2026-10-09 00:00:00', '110000004', 'Equipamientos Córdoba S.A.', 'Ref. licitación 45/2026', 2450000, 0, 0, 1, 0),
('V', 'PR', '000100000702A', 0, '2026-11-14 00:00:00', '110000001', 'Metalúrgica San Martín S.A.', 'A confirmar medidas', 318000, 0, 0, 0, 0),
('V', 'PR', '000100000703A', 0, '2026-11-22 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', NULL, 97500, 1, 0, 1, 0),
('C', 'OC', '000100000801A', 0, '2026-10-05 00:00:00', '210000001', 'Aceros del Paraná S.A.', 'Chapa SAE 1010 para noviembre', 2860000, 0, 0, 1, 0),
('C', 'OC', '000100000802A', 0, '2026-10-19 00:00:00', '210000002', 'Aluminios Andinos S.R.L.', 'Perfiles 6063 a confirmar', 745000, 0, 0, 0, 0),
('C', 'OC', '000100000803A', 0, '2026-11-07 00:00:00', '210000003', 'Galvanizadora del Plata S.A.', 'Reposición en garantía', 0, 0, 0, 1, 1),
('C', 'OC', '000100000804A', 0, '2026-11-21 00:00:00', 'P0042', 'Maderera El Ñandú', 'Tablas de pino', 410000, 0, 1, 1, 1),
('C', 'OPG', '000100000851A', 0, '2026-10-30 00:00:00', '210000001', 'Aceros del Paraná S.A.', 'Pago a 30 días', 2860000, 1, 0, 1, 0),
('C', 'OPG', '000100000852A', 0, '2026-11-27 00:00:00', '210000005', 'Pinturas Industriales Cuyo S.A.', NULL, 187250, 0, 0, 1, 0),
('C', 'RMC', '000300004510A', 0, '2026-10-07 00:00:00', '210000001', 'Aceros del Paraná S.A.', NULL, 1430000, 0, 0, 1, 0),
('C', 'RMC', '000200001877A', 0, '2026-11-10 00:00:00', '210000002', 'Aluminios Andinos S.R.L.', NULL, 745000, 1, 0, 1, 0),
('C', 'RMC', '000100000320A', 0, '2026-11-18 00:00:00', 'P0042', 'Maderera El Ñandú', 'Falta remito original', 205000, 0, 0, 1, 0),
('C', 'FCC', '000300004512A', 0, '2026-10-12 00:00:00', '210000001', 'Aceros del Paraná S.A.', NULL, 1430000, 1, 0, 1, 0),
('C', 'FCC', '001200000877A', 0, '2026-11-12 00:00:00', '210000003', 'Galvanizadora del Plata S.A.', 'Galvanizado OP 1', 264000, 0, NULL, 1, 0),
('C', 'NCC', '000200000091A', 0, '2026-11-26 00:00:00', '210000002', 'Aluminios Andinos S.R.L.', 'Devolución de perfiles', 62000, 0, 0, 1, 0);

INSERT INTO MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IDCOMPLEMENTO, LINEA, IDARTICULO, CANTIDAD, IMPORTE) VALUES
('NP', '000100000001A', 0, 1, 'SOP-PARED-150', 10, 3900);

UPDATE MV_CPTEINSUMOS SET
    DESCRIPCION = (SELECT A.DESCRIPCION FROM MA_ARTICULOS A WHERE A.IDARTICULO = MV_CPTEINSUMOS.IDARTICULO),
    IDUNIDAD = (SELECT A.IDUNIDAD FROM MA_ARTICULOS A WHERE A.IDARTICULO = MV_CPTEINSUMOS.IDARTICULO),
    CANTIDADUD = CANTIDAD,
    TOTAL = CANTIDAD * IMPORTE;

UPDATE MV_CPTE SET IMPORTE = (SELECT SUM(L.TOTAL) FROM MV_CPTEINSUMOS L
                              WHERE L.TC = MV_CPTE.TC AND L.IDCOMPROBANTE = MV_CPTE.IDCOMPROBANTE
                                AND L.IDCOMPLEMENTO = MV_CPTE.IDCOMPLEMENTO)
WHERE TC = 'OP';

UPDATE MV_CPTE SET IMPORTE_S_IVA = ROUND(IMPORTE / 1.21, 2);

INSERT INTO MV_CPTETERCEROS (TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, CUENTA, FECHAENVIADO, FECHARECIBIDO, OBSERVACIONES) VALUES
('T3', '000100000001A', 0, '2026-10-06 00:00:00', '210000003', '2026-10-06 09:30:00', '2026-10-14 16:00:00', 'Galvanizado de bandejas de la OP 1'),
('T3', '000100000008A', 0, '2026-10-26 00:00:00', '210000005', '2026-10-26 08:15:00', NULL, 'Pintura epoxi de paneles'),
('T3', '000100000013A', 0, '2026-11-12 00:00:00', '210000003', '2026-11-12 11:00:00', NULL, 'Anodizado de perfiles');

-- Charges: SALDO NULL (nothing taken), 0 (settled, never listed) and partial.
INSERT INTO MV_CARGOSAPLICADOS (CUENTA, FECHA, MATRICULA, CONCEPTO, IMPORTE, SALDO, OBSERVACIONES) VALUES
('110000001', '2026-10-05 00:00:00', 'AB123CD', 'Flete a obra', 45000, NULL, 'Sin aplicar'),
('110000001', '2026-10-18 00:00:00', 'AB123CD', 'Flete a obra', 38000, 0, 'Aplicado en la factura 0001-00000201'),
('110000001', '2026-11-03 00:00:00', 'AC456EF', 'Grúa para descarga', 120000, 60000, 'Aplicado en parte'),
('110000001', '2026-11-20 00:00:00', 'AC456EF', 'Estadía de camión', 25000, 25000, NULL),
('110000003', '2026-10-28 00:00:00', 'AE789GH', 'Flete a Neuquén', 210000, NULL, NULL),
('110000003', '2026-11-15 00:00:00', 'AE789GH', 'Seguro de carga', 18500, 0, 'Cancelado'),
('110000004', '2026-11-09 00:00:00', NULL, 'Embalaje especial', 32000, 12000.5, NULL);

INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, DESCRIPCION) VALUES
('MostrarStockenConsultas', 'SI', 'Muestra el stock en las consultas de artículos'),
('TituloClientes', 'Clientes', 'Título de la consulta de clientes'),
('TituloProveedores', 'Proveedores', 'Título de la consulta de proveedores'),
('CantidadDecimales', '2', 'Decimales de importes y cantidades'),
('CONDIVAEMPRESA', 'RI', 'Condición de IVA de la empresa (responsable inscripto)'),
('UsaReferenciaPresupuestos', 'SI', 'Muestra la referencia de los presupuestos'),
('NombreEmpresa', 'Metalúrgica Demostración S.A.', 'Razón social para los encabezados'),
('PorcentajeIVA', '21', 'Alícuota general de IVA'),
('LogoEmpresa', NULL, 'Sin logo cargado');

INSERT INTO TA_REPORTES (NOMBRE, ARCHIVO, DESCRIPCION) VALUES
('RP_OP', 'RP_OProduccion.rpt', 'Reporte de Órdenes de Producción'),
('RP_OP2', '', 'Sin archivo propio: se imprime con el nombre del reporte'),
('ESTIMATIVO|RP_OP', 'RP_OProduccion_Estimativo.rpt', 'Órdenes de producción, versión estimativa');

INSERT INTO CONTROL_ACCESO (MAQUINA, USUARIO, FORMULARIO, TAREA, INGRESO) VALUES
('PC-TALLER01', 'ANA', 'REPORTE DE ORDENES DE PRODUCCIÓN', 'REPORTE DE ORDENES DE PRODUCCIÓN', '2026-11-30 08:05:12');
