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
