-- The listings whose scan stopped before the end of their tree, beside the catalogue and never
-- inside it: one row per listing so marked. A delete of the listing's row takes the mark along,
-- whoever deletes it, and a store writes it before the listing's own row, so the check waits
-- for the end of the transaction.
CREATE TABLE IF NOT EXISTS incompletos (
  rp_id INTEGER NOT NULL PRIMARY KEY
    REFERENCES reports (rp_id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED
);
