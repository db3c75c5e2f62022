-- What the user keeps of each listing (where the disc is kept, its category, a comment, whom it
-- is lent to and since when), beside the catalogue and never inside it. A delete of the
-- listing's row takes it along; copy-db writes it before the listing's own row, so the check
-- waits for the end of the transaction.
CREATE TABLE IF NOT EXISTS propiedades (
  rp_id INTEGER NOT NULL PRIMARY KEY
    REFERENCES reports (rp_id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  ubicacion TEXT,
  categoria TEXT,
  comentario TEXT,
  prestado_a TEXT,
  prestado_el TEXT
);
