-- An operator's own database for the stand-in's table tests. The rowids put the articles out of key order.
CREATE TABLE AR (Artikelnummer TEXT, Bezeichnung TEXT, Gewicht REAL, SSVerkauf INTEGER, FreiesDatum1 DATE,
                 ShopAktiv BOOLEAN, Listenpreis REAL);
INSERT INTO AR (rowid, Artikelnummer, Bezeichnung, Gewicht, SSVerkauf, FreiesDatum1, ShopAktiv, Listenpreis) VALUES
    (10, '4711', 'Spaten', 19.9, 1, '2025-03-01', 1, 49.9),
    (20, '4712', 'Harke', 100, 2, '1965-04-01', 0, NULL),
    (5, '4710', 'Schlauch', NULL, NULL, '2040-12-31', NULL, 12);
CREATE TABLE AP (Artikelnummer TEXT, Preisart TEXT, Preisnummer TEXT, Preis REAL);
INSERT INTO AP VALUES ('4711', 'G', '2', 15), ('4711', 'G', '1', 19.9), ('4711', 'A', NULL, 17.5), ('4711', 'A', NULL, 16);
-- Two customers with the same number.
CREATE TABLE KU (Nummer TEXT, Name TEXT, RefAdresse TEXT);
INSERT INTO KU VALUES ('10023', 'Müller', NULL), ('10023', 'Doppelt', NULL);
CREATE TABLE UD (Steuercode INTEGER);
