#include "web/web_json.h"

#include "output/catalogue_table.h"

QByteArray pagedFilesJson(const QList<QPair<QByteArray, QByteArray>>& head, qint64 total,
                          qint64 page, qint64 pages, const std::vector<CatalogueFile>& files) {
  QByteArray json = "{";
  for (const auto& [name, value] : head) {
    json += '"' + name + "\": " + value + ", ";
  }
  json += "\"total\": " + QByteArray::number(total) + ", \"pagina\": " + QByteArray::number(page) +
          ", \"paginas\": " + QByteArray::number(pages) + ", \"archivos\": [";
  const ExportTable table = searchTable(files);
  const QList<QByteArray> keys = jsonKeys(table.columns);
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    json += (row == 0 ? "\n" : ",\n") + jsonObject(keys, table.rows[row]);
  }
  return json + "\n]}\n";
}
