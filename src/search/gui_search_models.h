#pragma once

#include <QAbstractItemModel>
#include <QAbstractTableModel>

#include <vector>

#include "search/catalogue_search.h"

// The search window's views read the core's result vectors through these models, so a result
// of thousands of files costs no widget per cell.

/** The columns both views show for a file, in order. */
enum class FileColumn {
  Numero,
  Medio,
  Listado,
  Directorio,
  Archivo,
  Artista,
  Titulo,
  Album,
  Anyo,
  Pista,
  Genero,
  Duracion,
  Ubicacion,
  Count
};

/** What a view shows in column for file: texts as stored, the file name as the listing shows it. */
QString fileColumnText(const CatalogueFile& file, int column);

/** The header of column, Nº to Ubicación. */
QString fileColumnHeader(int column);

/** The tree key of the file's node in a listing window holding its listing. */
QString catalogueFileNodeKey(const CatalogueFile& file);

/** The files found by a search, one row each. */
class SearchResultsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  /** Replaces every row by files. */
  void setFiles(std::vector<CatalogueFile> files);
  /** The file of row; row must be one of the model's. */
  const CatalogueFile& fileAt(int row) const { return files_.at(static_cast<std::size_t>(row)); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<CatalogueFile> files_;
};

/**
 * The groups of duplicates as a two-level tree: a row per group ("N copias: ..."), under it a
 * row per copy with the file's columns.
 */
class DuplicatesModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  using QAbstractItemModel::QAbstractItemModel;

  /** Replaces every group by groups. */
  void setGroups(std::vector<DuplicateGroup> groups);
  const std::vector<DuplicateGroup>& groups() const { return groups_; }
  /** The copy a row under a group stands for, or nullptr for a group's own row. */
  const CatalogueFile* copyAt(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<DuplicateGroup> groups_;
};

/** The text of a group's row: how many copies, and of what. */
QString duplicateGroupText(const DuplicateGroup& group);
