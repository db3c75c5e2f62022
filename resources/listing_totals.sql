-- What each stored listing adds to the catalogue's statistics, so the figures of a large
-- catalogue add up a few rows per listing instead of reading every file. Beside the catalogue
-- tables and never inside them; every object is created only when missing, so an older database
-- can gain them. The program writes a listing's rows when it catches the search index up with
-- the listings the index's triggers noted, in the transaction that clears those notes: a
-- listing with its row here and no note has totals that match its files, whoever wrote them.

-- One row per listing that has its totals: its directories.
CREATE TABLE IF NOT EXISTS stats_listings (
  rp_id INTEGER PRIMARY KEY,
  directories INTEGER NOT NULL
);

-- Its files by artist and album as stored, with those of them without title and without tag.
CREATE TABLE IF NOT EXISTS stats_pairs (
  rp_id INTEGER NOT NULL,
  artist TEXT,
  album TEXT,
  files INTEGER NOT NULL,
  without_title INTEGER NOT NULL,
  without_tag INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS stats_pairs_listing ON stats_pairs (rp_id);

-- Its files by genre and by year as stored (field 'genre' or 'year').
CREATE TABLE IF NOT EXISTS stats_values (
  rp_id INTEGER NOT NULL,
  field TEXT NOT NULL,
  value TEXT,
  files INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS stats_values_listing ON stats_values (rp_id);

-- The rows go with their listing, whoever deletes it.
CREATE TRIGGER IF NOT EXISTS stats_listing_removed AFTER DELETE ON reports BEGIN
  DELETE FROM stats_listings WHERE rp_id = old.rp_id;
  DELETE FROM stats_pairs WHERE rp_id = old.rp_id;
  DELETE FROM stats_values WHERE rp_id = old.rp_id;
END;
