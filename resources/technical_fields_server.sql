-- The technical fields of stored files, beside the catalogue and never inside it: one row per
-- file whose duration and quality were read. The key goes with its listing: a delete of the
-- listing's row takes them along, whoever deletes it, and a store writes them before the
-- listing's own row, so the check waits for the end of the transaction.
CREATE TABLE IF NOT EXISTS infotecnica (
  rp_id INTEGER NOT NULL REFERENCES reports (rp_id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  filegenorder INTEGER NOT NULL,
  duracion_ms BIGINT,
  kbps INTEGER,
  hz INTEGER,
  canales INTEGER,
  bytes BIGINT,
  PRIMARY KEY (rp_id, filegenorder)
);
