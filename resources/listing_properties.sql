-- What the user keeps of each listing (where the disc is kept, its category, a comment, whom it
-- is lent to and since when), beside the three catalogue tables and never inside them: one row
-- per listing the user gave any of them. Only the user writes it, so a store leaves it alone.
-- Every object is created only when missing, so an older database gains them on open.
CREATE TABLE IF NOT EXISTS propiedades (
  rp_id INTEGER NOT NULL PRIMARY KEY,
  ubicacion TEXT,
  categoria TEXT,
  comentario TEXT,
  prestado_a TEXT,
  prestado_el TEXT
) WITHOUT ROWID;

-- The row goes with its listing, whoever deletes it, so the delete statements stay as they are.
CREATE TRIGGER IF NOT EXISTS propiedades_listing_removed AFTER DELETE ON reports BEGIN
  DELETE FROM propiedades WHERE rp_id = old.rp_id;
END;
