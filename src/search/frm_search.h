#pragma once

#include <QPointer>
#include <QWidget>

#include "base/loaded_forms.h"

class BackgroundSearch;
class QAction;
class DuplicatesModel;
class QComboBox;
class QLineEdit;
class QModelIndex;
class QPushButton;
class RetryLine;
class QTabWidget;
class QTableView;
class QTimer;
class QTreeView;
class SearchResultsModel;
struct CatalogueFile;
struct DuplicatesResult;
struct SearchResult;

/**
 * "Buscar en la BD": finds files across every stored listing as the user types (page "Buscar")
 * and lists the files stored more than once (page "Duplicados"). Both read the database as it
 * is when they run. One instance at a time; closing it discards it.
 */
class frm_search : public QWidget {
  Q_OBJECT

 public:
  /** The open window, or a new one, shown, as a top-level window owned by parent. */
  static frm_search* Instance(QWidget* parent);
  /** The open window, or nullptr. */
  static frm_search* current();

  /**
   * Starts the query in Text1 with the chosen field and medium off the window's thread; its
   * results replace the table's when it ends, unless a newer query has started meanwhile.
   */
  void Busca();
  /** True while a query started by Busca runs. */
  bool searching() const;
  /**
   * Reads the files stored more than once, for the chosen medium, off the window's thread; they
   * replace the Duplicados page's when the reading ends, unless a newer one has started.
   */
  void BuscaDuplicados();
  /** True while a reading started by BuscaDuplicados runs. */
  bool findingDuplicates() const;
  /**
   * «Ir al original»: opens the folder of the chosen file on its disc or folder when it is
   * there; otherwise asks for the disc and opens it when it comes.
   */
  void IrAlOriginal();

 signals:
  /** The user asked to open stored listing rpId with the node keyed nodeKey chosen. */
  void openFileRequested(int rpId, const QString& nodeKey);

 private:
  explicit frm_search(QWidget* parent);
  QWidget* buildSearchPage();
  QWidget* buildDuplicatesPage();
  void requestOpen(const CatalogueFile& file);
  /** The file chosen on the page shown, or nullptr. */
  const CatalogueFile* chosenFile() const;
  void onPageChanged(int page);
  void showResult(SearchResult result);
  void showDuplicates(DuplicatesResult result);
  BackgroundSearch* newBackgroundSearch();

  static QPointer<frm_search>& instance();

  LoadedForm loaded_{QStringLiteral("frm_search")};
  QTabWidget* tabs_ = nullptr;
  QAction* original_ = nullptr;
  QLineEdit* query_ = nullptr;
  QComboBox* field_ = nullptr;
  QComboBox* medium_ = nullptr;
  QTableView* results_ = nullptr;
  RetryLine* count_ = nullptr;
  QTimer* pause_ = nullptr;
  SearchResultsModel* resultsModel_ = nullptr;
  BackgroundSearch* search_ = nullptr;
  int opening_ = 0;  // searches waiting for the catalogue to open
  QComboBox* duplicatesMedium_ = nullptr;
  QPushButton* refreshDuplicates_ = nullptr;
  QTreeView* duplicates_ = nullptr;
  RetryLine* duplicatesCount_ = nullptr;
  DuplicatesModel* duplicatesModel_ = nullptr;
  BackgroundSearch* duplicatesSearch_ = nullptr;
  int openingDuplicates_ = 0;
};
