#include "db/source_part.h"

#include "db/side_table_part.h"

using namespace Qt::StringLiterals;

const CataloguePart& sourceIdentityPart() {
  // The script makes both tables in one transaction, origen_archivos last: its presence says the
  // file has them. No stand-in: a reader that finds no table finds no recorded source.
  static const SideTablePart part({u"origen_archivos"_s, u":/source_identity.sql"_s,
                                   u":/source_identity_server.sql"_s, QString(),
                                   u"las tablas del origen de los listados"_s, std::nullopt});
  return part;
}
