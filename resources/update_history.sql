-- The updates of each listing in place, beside the three catalogue tables and never inside them:
-- one row per update (when, how many files were added, removed and changed, and how long it
-- took). Every object is created only when missing, so an older database gains them on open.
CREATE TABLE IF NOT EXISTS actualizaciones (
  rp_id INTEGER NOT NULL,
  fecha TEXT NOT NULL,
  anadidos INTEGER NOT NULL,
  quitados INTEGER NOT NULL,
  cambiados INTEGER NOT NULL,
  segundos REAL NOT NULL
);
CREATE INDEX IF NOT EXISTS actualizaciones_listing ON actualizaciones (rp_id, fecha);

-- The rows go with their listing, whoever deletes it.
CREATE TRIGGER IF NOT EXISTS actualizaciones_listing_removed AFTER DELETE ON reports BEGIN
  DELETE FROM actualizaciones WHERE rp_id = old.rp_id;
END;
