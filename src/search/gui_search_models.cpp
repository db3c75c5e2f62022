#include "search/gui_search_models.h"

#include "base/text_helpers.h"
#include "db/listing_load.h"
#include "listing/technical_texts.h"
#include "scan/listing_model.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumnCount = static_cast<int>(FileColumn::Count);

// Copy rows carry their group's row + 1; group rows carry 0.
constexpr quintptr kGroupRowId = 0;

QString mediumText(int medio) {
  if (medio == kMedioCd) {
    return u"CD"_s;
  }
  return medio == kMedioDirectorio ? u"Directorio"_s : QString();
}

// Stored directory and file names carry "´" for "'"; the table shows the names on disk.
QString shownName(const QString& stored) {
  return AcuteToQuote(stored);
}

// A value too long for its column is elided in the view; its tooltip shows it whole.
bool shownRole(int role) {
  return role == Qt::DisplayRole || role == Qt::ToolTipRole;
}

QVariant headerFor(int section, Qt::Orientation orientation, int role) {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return {};
  }
  return fileColumnHeader(section);
}

}  // namespace

QString fileColumnText(const CatalogueFile& file, int column) {
  switch (static_cast<FileColumn>(column)) {
    case FileColumn::Numero:
      return QString::number(file.rp_id);
    case FileColumn::Medio:
      return mediumText(file.medio);
    case FileColumn::Listado:
      return file.report_name;
    case FileColumn::Directorio:
      return shownName(file.dirname);
    case FileColumn::Archivo:
      return shownName(file.filename);
    case FileColumn::Artista:
      return file.artist;
    case FileColumn::Titulo:
      return file.title;
    case FileColumn::Album:
      return file.album;
    case FileColumn::Anyo:
      return file.year;
    case FileColumn::Pista:
      return file.track;
    case FileColumn::Genero:
      return file.genre;
    case FileColumn::Duracion:
      return file.durationMs ? durationText(*file.durationMs) : QString();
    case FileColumn::Ubicacion:
      return file.ubicacion;
    case FileColumn::Count:
      break;
  }
  return {};
}

QString fileColumnHeader(int column) {
  static const QStringList headers{u"Nº"_s,       u"Medio"_s,   u"Listado"_s, u"Directorio"_s,
                                   u"Archivo"_s,  u"Artista"_s, u"Título"_s,  u"Álbum"_s,
                                   u"Año"_s,      u"Pista"_s,   u"Género"_s,  u"Duración"_s,
                                   u"Ubicación"_s};
  return headers.value(column);
}

QString catalogueFileNodeKey(const CatalogueFile& file) {
  return fileNodeKey(file.dirname, shownName(file.filename));
}

void SearchResultsModel::setFiles(std::vector<CatalogueFile> files) {
  beginResetModel();
  files_ = std::move(files);
  endResetModel();
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(files_.size());
}

int SearchResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !shownRole(role)) {
    return {};
  }
  return fileColumnText(fileAt(index.row()), index.column());
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  return headerFor(section, orientation, role);
}

void DuplicatesModel::setGroups(std::vector<DuplicateGroup> groups) {
  beginResetModel();
  groups_ = std::move(groups);
  endResetModel();
}

const CatalogueFile* DuplicatesModel::copyAt(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGroupRowId) {
    return nullptr;
  }
  const DuplicateGroup& group = groups_.at(index.internalId() - 1);
  return &group.copies.at(static_cast<std::size_t>(index.row()));
}

QModelIndex DuplicatesModel::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) {
    return {};
  }
  if (!parent.isValid()) {
    return createIndex(row, column, kGroupRowId);
  }
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex DuplicatesModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupRowId) {
    return {};
  }
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupRowId);
}

int DuplicatesModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) {
    return static_cast<int>(groups_.size());
  }
  if (parent.internalId() != kGroupRowId || parent.column() != 0) {
    return 0;
  }
  return static_cast<int>(groups_.at(static_cast<std::size_t>(parent.row())).copies.size());
}

int DuplicatesModel::columnCount(const QModelIndex& /*parent*/) const {
  return kColumnCount;
}

QVariant DuplicatesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !shownRole(role)) {
    return {};
  }
  if (const CatalogueFile* copy = copyAt(index)) {
    return fileColumnText(*copy, index.column());
  }
  if (index.column() != 0) {
    return {};
  }
  return duplicateGroupText(groups_.at(static_cast<std::size_t>(index.row())));
}

QVariant DuplicatesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  return headerFor(section, orientation, role);
}

QString duplicateGroupText(const DuplicateGroup& group) {
  if (group.copies.empty()) {
    return {};
  }
  const CatalogueFile& first = group.copies.front();
  // Named as they were matched: by artist and title when both are there, else by file name.
  const QString what = !first.artist.isEmpty() && !first.title.isEmpty()
                           ? first.artist + u" - "_s + first.title
                           : shownName(first.filename);
  return u"%1 copias: %2"_s.arg(group.copies.size()).arg(what);
}
