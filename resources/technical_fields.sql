-- The technical fields of stored files, beside the three catalogue tables and never inside
-- them: one row per file whose duration and quality were read, keyed by its listing and file
-- number, and found by it alone (the search asks for each file's duration), so the key is the
-- table. Every object is created only when missing, so an older database can gain them on open.
CREATE TABLE IF NOT EXISTS infotecnica (
  rp_id INTEGER NOT NULL,
  filegenorder INTEGER NOT NULL,
  duracion_ms INTEGER,
  kbps INTEGER,
  hz INTEGER,
  canales INTEGER,
  bytes INTEGER,
  PRIMARY KEY (rp_id, filegenorder)
) WITHOUT ROWID;

-- The rows go with their listing, whoever deletes it, so the delete statements stay as they are.
CREATE TRIGGER IF NOT EXISTS infotecnica_listing_removed AFTER DELETE ON reports BEGIN
  DELETE FROM infotecnica WHERE rp_id = old.rp_id;
END;

-- 1 and 2: the search index. 3: the technical fields.
PRAGMA user_version = 3;
