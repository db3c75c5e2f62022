-- The updates of each listing in place, beside the catalogue and never inside it; the rows go
-- with their listing.
CREATE TABLE IF NOT EXISTS actualizaciones (
  rp_id INTEGER NOT NULL REFERENCES reports (rp_id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  fecha TEXT NOT NULL,
  anadidos INTEGER NOT NULL,
  quitados INTEGER NOT NULL,
  cambiados INTEGER NOT NULL,
  segundos DOUBLE PRECISION NOT NULL
);
CREATE INDEX IF NOT EXISTS actualizaciones_listing ON actualizaciones (rp_id, fecha);
