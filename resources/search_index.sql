-- The search index, beside the three catalogue tables and never inside them. Its triggers only
-- note which listings changed, in plain SQL, so any SQLite client can still write the catalogue
-- (even one built without full-text search); the program folds and indexes the noted listings
-- before its next search. Every object is created only when missing, so an older database can
-- gain them on open.

-- The folded texts of each stored file whose listing has its reports row; the rowid is the
-- file's infoMP3 rowid. Each text ends in two U+0001, so that every one- and two-letter piece
-- of it starts a trigram.
CREATE VIRTUAL TABLE IF NOT EXISTS search_index USING fts5(
  artist, title, album, comment, genre, year, filename, dirname, report_name,
  tokenize = 'trigram case_sensitive 1', columnsize = 0);

-- The trigrams of the index, for the one- and two-letter pieces of a query.
CREATE VIRTUAL TABLE IF NOT EXISTS search_terms USING fts5vocab(search_index, 'row');

-- The listing each indexed file belongs to, and what its copies share.
CREATE TABLE IF NOT EXISTS search_files (
  file INTEGER PRIMARY KEY,
  rp_id INTEGER,
  dupkey TEXT
);
CREATE INDEX IF NOT EXISTS search_files_listing ON search_files (rp_id);
CREATE INDEX IF NOT EXISTS search_files_dupkey ON search_files (dupkey);

-- Listings whose rows changed since they were indexed, once per row changed. No constraint, so
-- no conflict policy of a client's statement can make the note fail; and each trigger is one
-- plain insert, because every statement that writes a catalogue table compiles its triggers.
CREATE TABLE IF NOT EXISTS search_pending (rp_id);

CREATE TRIGGER IF NOT EXISTS search_file_added AFTER INSERT ON infoMP3 BEGIN
  INSERT INTO search_pending VALUES (new.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_file_removed AFTER DELETE ON infoMP3 BEGIN
  INSERT INTO search_pending VALUES (old.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_file_changed AFTER UPDATE ON infoMP3 BEGIN
  INSERT INTO search_pending VALUES (old.rp_id);
  INSERT INTO search_pending VALUES (new.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_directory_added AFTER INSERT ON estructdir BEGIN
  INSERT INTO search_pending VALUES (new.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_directory_removed AFTER DELETE ON estructdir BEGIN
  INSERT INTO search_pending VALUES (old.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_directory_changed AFTER UPDATE ON estructdir BEGIN
  INSERT INTO search_pending VALUES (old.rp_id);
  INSERT INTO search_pending VALUES (new.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_listing_added AFTER INSERT ON reports BEGIN
  INSERT INTO search_pending VALUES (new.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_listing_removed AFTER DELETE ON reports BEGIN
  INSERT INTO search_pending VALUES (old.rp_id);
END;

CREATE TRIGGER IF NOT EXISTS search_listing_changed AFTER UPDATE ON reports BEGIN
  INSERT INTO search_pending VALUES (old.rp_id);
  INSERT INTO search_pending VALUES (new.rp_id);
END;

-- 1: the search index. 2: one plain insert per trigger, and no column sizes kept.
PRAGMA user_version = 2;
