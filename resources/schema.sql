-- Schema of the listing database. The insert statements give their values by position, so the
-- column order of each table is part of the stored format.

-- One row per stored listing; the listing is visible only through this row.
CREATE TABLE reports (
  rp_id INTEGER PRIMARY KEY,
  report_name TEXT,
  medio INTEGER,
  report_desc TEXT
);

-- One row per directory that holds MP3 files.
CREATE TABLE estructdir (
  rp_id INTEGER,
  dirname TEXT,
  songfrom INTEGER,
  songto INTEGER
);

-- One row per MP3 file.
CREATE TABLE infoMP3 (
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

-- Loading reads a listing directory by directory and file range by file range.
CREATE INDEX estructdir_listing ON estructdir (rp_id, songfrom);
CREATE INDEX infomp3_listing ON infoMP3 (rp_id, filegenorder);
