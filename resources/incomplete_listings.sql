-- The listings whose scan stopped before the end of their tree (at the classic limits, or at the
-- user's word), beside the three catalogue tables and never inside them: one row per listing so
-- marked. Listings stored before the table existed have no row: they are not known to be cut.
-- Every object is created only when missing, so an older database can gain them on open.
CREATE TABLE IF NOT EXISTS incompletos (
  rp_id INTEGER NOT NULL PRIMARY KEY
) WITHOUT ROWID;

-- The mark goes with its listing, whoever deletes it, so the delete statements stay as they are.
CREATE TRIGGER IF NOT EXISTS incompletos_listing_removed AFTER DELETE ON reports BEGIN
  DELETE FROM incompletos WHERE rp_id = old.rp_id;
END;
