-- What each listing's source is and its files' sizes and times, beside the catalogue and never
-- inside it. The rows go with their listing: a delete of the listing's row takes them along,
-- and a store writes them before the listing's own row, so the check waits for the end of the
-- transaction.
CREATE TABLE IF NOT EXISTS origen (
  rp_id INTEGER PRIMARY KEY REFERENCES reports (rp_id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  tipo_fs TEXT,
  etiqueta TEXT,
  uuid TEXT,
  tamano BIGINT,
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
  rp_id INTEGER NOT NULL REFERENCES reports (rp_id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  filegenorder INTEGER NOT NULL,
  bytes BIGINT,
  modificado BIGINT,
  PRIMARY KEY (rp_id, filegenorder)
);
