#include "search/frm_search.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "db/bd_reconnect.h"
#include "db/mod_bd.h"
#include "db/original_place.h"
#include "platform/gui_open_when_present.h"
#include "platform/gui_retry_line.h"
#include "platform/gui_window_placement.h"
#include "search/background_search.h"
#include "search/catalogue_search.h"
#include "search/gui_column_widths.h"
#include "search/gui_search_models.h"
#include "search/search_names.h"

using namespace Qt::StringLiterals;

namespace {

// A search runs once typing pauses this long, so each keystroke does not query the database.
constexpr int kTypingPauseMs = 250;

// A table of more rows than anyone reads would only cost memory and time; the rest is found by
// typing more.
constexpr int kShownFiles = 10000;

QString countOf(std::size_t n, const QString& one, const QString& many) {
  return u"%1 %2"_s.arg(n).arg(n == 1 ? one : many);
}

QString searchCountLine(const SearchResult& result) {
  if (!result.error.isEmpty()) {
    return u"No se ha podido buscar: "_s + result.error;
  }
  if (result.files.size() > static_cast<std::size_t>(kShownFiles)) {
    return u"Más de %1 archivos: se muestran los %1 primeros"_s.arg(kShownFiles);
  }
  return countOf(result.files.size(), u"archivo"_s, u"archivos"_s) + u" en "_s +
         countOf(static_cast<std::size_t>(result.listings), u"listado"_s, u"listados"_s);
}

QString duplicatesCountLine(const DuplicatesResult& result) {
  if (!result.error.isEmpty()) {
    return u"No se han podido buscar los duplicados: "_s + result.error;
  }
  std::size_t copies = 0;
  for (const DuplicateGroup& group : result.groups) {
    copies += group.copies.size();
  }
  return countOf(result.groups.size(), u"archivo repetido"_s, u"archivos repetidos"_s) + u", "_s +
         countOf(copies, u"copia"_s, u"copias"_s) + u" en total"_s;
}

QComboBox* addChooser(const QString& name, const QStringList& choices) {
  auto* chooser = new QComboBox;
  chooser->setObjectName(name);
  chooser->addItems(choices);
  return chooser;
}

QComboBox* addMediumChooser(const QString& name) {
  return addChooser(name, {u"Todos"_s, u"CDs"_s, u"Directorios"_s});
}

// The choosers list their choices in the order of the enums.
SearchMedium mediumOf(const QComboBox* chooser) {
  return static_cast<SearchMedium>(chooser->currentIndex());
}

// A failure's line offers «Reintentar», which asks again.
RetryLine* addCountLine(const QString& name) {
  auto* line = new RetryLine(name);
  line->showText({});
  return line;
}

template <typename Result>
void showCountLine(RetryLine& line, const Result& result, const QString& text) {
  if (result.error.isEmpty()) {
    line.showText(text);
  } else {
    line.showFailure(text);
  }
}

// Rows keep one height so a long result scrolls without measuring every row.
void fixRowHeights(QTableView* view) {
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->verticalHeader()->hide();
}

}  // namespace

QPointer<frm_search>& frm_search::instance() {
  static QPointer<frm_search> window;
  return window;
}

frm_search* frm_search::Instance(QWidget* parent) {
  if (!instance()) {
    instance() = new frm_search(parent);
    centreOverWindow(instance(), parent);
  }
  instance()->show();
  return instance();
}

frm_search* frm_search::current() {
  return instance();
}

frm_search::frm_search(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(u"frm_search"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Buscar en la BD"_s);
  original_ = new QAction(u"Ir al original"_s, this);
  original_->setObjectName(u"mn_original"_s);
  connect(original_, &QAction::triggered, this, &frm_search::IrAlOriginal);
  tabs_ = new QTabWidget;
  tabs_->setObjectName(u"tabPaginas"_s);
  tabs_->addTab(buildSearchPage(), u"Buscar"_s);
  tabs_->addTab(buildDuplicatesPage(), u"Duplicados"_s);
  connect(tabs_, &QTabWidget::currentChanged, this, &frm_search::onPageChanged);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  resize(900, 520);
}

QWidget* frm_search::buildSearchPage() {
  auto* page = new QWidget;
  page->setObjectName(u"pgBuscar"_s);
  query_ = new QLineEdit;
  query_->setObjectName(u"txtBuscar"_s);
  query_->setPlaceholderText(u"Texto a buscar"_s);
  field_ = addChooser(u"cboCampo"_s, searchFieldLabels());
  medium_ = addMediumChooser(u"cboMedio"_s);
  pause_ = new QTimer(this);
  pause_->setObjectName(u"tmrBusqueda"_s);
  pause_->setSingleShot(true);
  pause_->setInterval(kTypingPauseMs);
  connect(pause_, &QTimer::timeout, this, &frm_search::Busca);
  connect(query_, &QLineEdit::textChanged, pause_, qOverload<>(&QTimer::start));
  connect(field_, &QComboBox::currentIndexChanged, this, &frm_search::Busca);
  connect(medium_, &QComboBox::currentIndexChanged, this, &frm_search::Busca);

  resultsModel_ = new SearchResultsModel(this);
  results_ = new QTableView;
  results_->setObjectName(u"grdResultados"_s);
  results_->setModel(resultsModel_);
  results_->setSelectionBehavior(QAbstractItemView::SelectRows);
  results_->setSelectionMode(QAbstractItemView::SingleSelection);
  results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fixRowHeights(results_);
  fitColumnsOnEveryReset(*results_, *results_->horizontalHeader());
  connect(results_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { requestOpen(resultsModel_->fileAt(index.row())); });
  results_->addAction(original_);
  results_->setContextMenuPolicy(Qt::ActionsContextMenu);
  count_ = addCountLine(u"lblCuenta"_s);
  connect(count_, &RetryLine::retryRequested, this, &frm_search::Busca);
  auto* goOriginal = new QPushButton(original_->text());
  goOriginal->setObjectName(u"cmdOriginal"_s);
  goOriginal->setToolTip(u"Abrir la carpeta del archivo elegido en su disco o carpeta"_s);
  connect(goOriginal, &QPushButton::clicked, original_, &QAction::trigger);

  auto* choosers = new QHBoxLayout;
  choosers->addWidget(query_, 1);
  choosers->addWidget(new QLabel(u"en"_s));
  choosers->addWidget(field_);
  choosers->addWidget(medium_);
  choosers->addWidget(goOriginal);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(choosers);
  layout->addWidget(results_, 1);
  layout->addWidget(count_);
  return page;
}

QWidget* frm_search::buildDuplicatesPage() {
  auto* page = new QWidget;
  page->setObjectName(u"pgDuplicados"_s);
  duplicatesMedium_ = addMediumChooser(u"cboMedioDup"_s);
  connect(duplicatesMedium_, &QComboBox::currentIndexChanged, this, &frm_search::BuscaDuplicados);
  refreshDuplicates_ = new QPushButton(u"Actualizar"_s);
  refreshDuplicates_->setObjectName(u"cmdDuplicados"_s);
  refreshDuplicates_->setToolTip(u"Buscar de nuevo los archivos repetidos en la BD"_s);
  connect(refreshDuplicates_, &QPushButton::clicked, this, &frm_search::BuscaDuplicados);

  duplicatesModel_ = new DuplicatesModel(this);
  duplicates_ = new QTreeView;
  duplicates_->setObjectName(u"tvDuplicados"_s);
  duplicates_->setModel(duplicatesModel_);
  duplicates_->setUniformRowHeights(true);
  duplicates_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fitColumnsOnEveryReset(*duplicates_, *duplicates_->header());
  connect(duplicates_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    if (const CatalogueFile* copy = duplicatesModel_->copyAt(index)) {
      requestOpen(*copy);
    }
  });
  duplicates_->addAction(original_);
  duplicates_->setContextMenuPolicy(Qt::ActionsContextMenu);
  duplicatesCount_ = addCountLine(u"lblDuplicados"_s);
  connect(duplicatesCount_, &RetryLine::retryRequested, this, &frm_search::BuscaDuplicados);

  auto* choosers = new QHBoxLayout;
  choosers->addWidget(duplicatesMedium_);
  choosers->addStretch(1);
  choosers->addWidget(refreshDuplicates_);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(choosers);
  layout->addWidget(duplicates_, 1);
  layout->addWidget(duplicatesCount_);
  return page;
}

void frm_search::Busca() {
  pause_->stop();
  if (query_->text().trimmed().isEmpty()) {
    if (search_) {
      search_->cancel();
    }
    resultsModel_->setFiles({});
    count_->showText({});
    return;
  }
  const SearchRequest request{query_->text(), static_cast<SearchField>(field_->currentIndex()),
                              mediumOf(medium_), kShownFiles + 1};
  ++opening_;
  whenBdOpen(this, [this, request](const QString& failure) {
    --opening_;
    if (!failure.isEmpty()) {
      showResult({{}, 0, failure});
      return;
    }
    if (!search_) {
      search_ = newBackgroundSearch();
    }
    search_->start(request);
  });
}

// Each page has its own, so a search typed on one never drops the other's.
BackgroundSearch* frm_search::newBackgroundSearch() {
  auto* search = new BackgroundSearch(BdConnectionString(), this);
  connect(search, &BackgroundSearch::finished, this, &frm_search::showResult);
  connect(search, &BackgroundSearch::duplicatesFound, this, &frm_search::showDuplicates);
  return search;
}

bool frm_search::searching() const {
  return opening_ > 0 || (search_ && search_->busy());
}

void frm_search::showResult(SearchResult result) {
  showCountLine(*count_, result, searchCountLine(result));
  if (result.files.size() > static_cast<std::size_t>(kShownFiles)) {
    result.files.resize(kShownFiles);
  }
  resultsModel_->setFiles(std::move(result.files));
}

void frm_search::BuscaDuplicados() {
  const SearchMedium medium = mediumOf(duplicatesMedium_);
  // The reading of a large catalogue takes a while: the page says it is at work meanwhile.
  duplicatesCount_->showText(u"Buscando los archivos repetidos..."_s);
  ++openingDuplicates_;
  whenBdOpen(this, [this, medium](const QString& failure) {
    --openingDuplicates_;
    if (!failure.isEmpty()) {
      showDuplicates({{}, failure});
      return;
    }
    if (!duplicatesSearch_) {
      duplicatesSearch_ = newBackgroundSearch();
    }
    duplicatesSearch_->startDuplicates(medium);
  });
}

bool frm_search::findingDuplicates() const {
  return openingDuplicates_ > 0 || (duplicatesSearch_ && duplicatesSearch_->busy());
}

void frm_search::showDuplicates(DuplicatesResult result) {
  showCountLine(*duplicatesCount_, result, duplicatesCountLine(result));
  duplicatesModel_->setGroups(std::move(result.groups));
  for (int row = 0; row < duplicatesModel_->rowCount(); ++row) {
    duplicates_->setFirstColumnSpanned(row, {}, true);
  }
  duplicates_->expandAll();
}

void frm_search::requestOpen(const CatalogueFile& file) {
  emit openFileRequested(file.rp_id, catalogueFileNodeKey(file));
}

const CatalogueFile* frm_search::chosenFile() const {
  if (tabs_->currentWidget()->objectName() == u"pgDuplicados"_s) {
    return duplicatesModel_->copyAt(duplicates_->currentIndex());
  }
  const QModelIndex current = results_->currentIndex();
  return current.isValid() ? &resultsModel_->fileAt(current.row()) : nullptr;
}

void frm_search::IrAlOriginal() {
  const CatalogueFile* file = chosenFile();
  if (!file) {
    return;
  }
  const OriginalRequest request{file->rp_id, file->report_name, file->medio, file->dirname};
  openWhenPresent(
      this, [request] { return originalFolder(request); }, insertDiscText(request));
}

// The duplicates are read again each time the page is shown, as the catalogue may have changed.
void frm_search::onPageChanged(int page) {
  if (tabs_->widget(page)->objectName() == u"pgDuplicados"_s) {
    BuscaDuplicados();
  }
}
