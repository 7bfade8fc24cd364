-- More vouchers for the voucher lookup dialog: a general voucher both
-- annulled and approved, one neither, an annulled purchase voucher, and names
-- left null.
INSERT INTO MV_CPTE (CIRCUITO, TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, CUENTA, NOMBRE, COMENTARIOS, IMPORTE, FINALIZADA, ANULADA, APROBADO, GARANTIA) VALUES
('V', 'FC', '000100000204A', 1, '2026-11-29 00:00:00', '110000004', NULL, 'Anulada después de aprobada', 56000, 0, 1, 1, 0),
('V', 'FC', '000100000205A', 1, '2026-11-30 00:00:00', '110000005', 'Instalaciones del Litoral S.R.L.', NULL, 83000, 0, 0, 0, 0),
('C', 'NCC', '000200000093A', 0, '2026-11-30 00:00:00', '210000005', NULL, 'Cargada dos veces', 18000, 0, 1, 1, 0);
