-- The catalogue on a database server: the same three tables, columns, order and kinds as the
-- file, names unquoted so every spelling the program uses reaches them.
CREATE TABLE IF NOT EXISTS reports (
  rp_id INTEGER PRIMARY KEY,
  report_name TEXT,
  medio INTEGER,
  report_desc TEXT
);
CREATE TABLE IF NOT EXISTS estructdir (
  rp_id INTEGER,
  dirname TEXT,
  songfrom INTEGER,
  songto INTEGER
);
CREATE TABLE IF NOT EXISTS infoMP3 (
  rp_id INTEGER,
  album TEXT,
  artist TEXT,
  comment TEXT,
  genre TEXT,
  title TEXT,
  track TEXT,
  year TEXT,
  filename TEXT,
  fileorder INTEGER,
  filegenorder INTEGER
);
CREATE INDEX IF NOT EXISTS estructdir_listing ON estructdir (rp_id, songfrom);
CREATE INDEX IF NOT EXISTS infomp3_listing ON infoMP3 (rp_id, filegenorder);
-- Which Quillet made the objects: a newer one's database is refused, not half understood.
CREATE TABLE IF NOT EXISTS quillet_schema (version INTEGER NOT NULL);
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
