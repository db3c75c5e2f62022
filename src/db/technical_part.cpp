#include "db/technical_part.h"

#include "db/side_table_part.h"

using namespace Qt::StringLiterals;

const CataloguePart& technicalFieldsPart() {
  // The version counts the search index's versions first: 1 and 2 are the index's.
  static const SideTablePart part(
      {u"infotecnica"_s, u":/technical_fields.sql"_s, u":/technical_fields_server.sql"_s,
       u"CREATE TEMP TABLE IF NOT EXISTS infotecnica (rp_id INTEGER, filegenorder INTEGER, "
       u"duracion_ms INTEGER, kbps INTEGER, hz INTEGER, canales INTEGER, bytes INTEGER)"_s,
       u"la tabla de datos técnicos"_s, 3});
  return part;
}
