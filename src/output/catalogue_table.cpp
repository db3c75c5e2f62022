#include "output/catalogue_table.h"

#include "output/listing_table.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList kFileColumns = {
    u"num_listado"_s, u"listado"_s,     u"medio"_s,     u"directorio"_s,
    u"num_archivo"_s, u"archivo"_s,     u"artista"_s,   u"titulo"_s,
    u"album"_s,       u"anyo"_s,        u"pista"_s,     u"genero"_s,
    u"comentario"_s,  u"duracion_ms"_s, u"ubicacion"_s, u"categoria"_s};

ExportRow fileRow(const CatalogueFile& file) {
  return {ExportCell::number(file.rp_id),
          {file.report_name},
          {mediumText(file.medio)},
          {file.dirname},
          ExportCell::number(file.filegenorder),
          {file.filename},
          {file.artist},
          {file.title},
          {file.album},
          {file.year},
          {file.track},
          {file.genre},
          {file.comment},
          file.durationMs ? ExportCell::number(*file.durationMs) : ExportCell::absent(),
          {file.ubicacion},
          {file.categoria}};
}

}  // namespace

ExportTable searchTable(const std::vector<CatalogueFile>& files) {
  ExportTable table{kFileColumns, {}};
  table.rows.reserve(files.size());
  for (const CatalogueFile& file : files) {
    table.rows.push_back(fileRow(file));
  }
  return table;
}

ExportTable duplicatesTable(const std::vector<DuplicateGroup>& groups) {
  ExportTable table{QStringList{u"grupo"_s} + kFileColumns, {}};
  qint64 number = 0;
  for (const DuplicateGroup& group : groups) {
    ++number;
    for (const CatalogueFile& copy : group.copies) {
      ExportRow row = fileRow(copy);
      row.insert(row.begin(), ExportCell::number(number));
      table.rows.push_back(std::move(row));
    }
  }
  return table;
}
