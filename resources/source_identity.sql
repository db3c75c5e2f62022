-- What each listing's source is, beside the three catalogue tables and never inside them: one
-- row per listing stored since it was kept (the disc or the folder's file system, where the
-- folder is on it, a signature of its files, the scan's choices and the dates), and per file
-- its size and modification time, so an update can tell which files changed. Every object is
-- created only when missing, so an older database gains them on open; its version is not
-- raised, the tables' presence says it all.
CREATE TABLE IF NOT EXISTS origen (
  rp_id INTEGER PRIMARY KEY,
  tipo_fs TEXT,
  etiqueta TEXT,
  uuid TEXT,
  tamano INTEGER,
  ruta TEXT,
  ruta_relativa TEXT,
  firma TEXT,
  opciones TEXT,
  version_lectores INTEGER,
  catalogado TEXT,
  actualizado TEXT
);
CREATE INDEX IF NOT EXISTS origen_uuid ON origen (uuid);
CREATE INDEX IF NOT EXISTS origen_firma ON origen (firma);

CREATE TABLE IF NOT EXISTS origen_archivos (
  rp_id INTEGER NOT NULL,
  filegenorder INTEGER NOT NULL,
  bytes INTEGER,
  modificado INTEGER,
  PRIMARY KEY (rp_id, filegenorder)
) WITHOUT ROWID;

-- The rows go with their listing, whoever deletes it, so the delete statements stay as they are.
CREATE TRIGGER IF NOT EXISTS origen_listing_removed AFTER DELETE ON reports BEGIN
  DELETE FROM origen WHERE rp_id = old.rp_id;
  DELETE FROM origen_archivos WHERE rp_id = old.rp_id;
END;
