#include "search/frm_search.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>

#include "app/frm_main.h"
#include "base/loaded_forms.h"
#include "db/listing_properties.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "platform/gui_message_box.h"
#include "search/gui_search_models.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

void setSong(ListingModel& model, int song, const QString& artist, const QString& title) {
  model.Canciones[song].artist = artist;
  model.Canciones[song].title = title;
}

// The main window over a real database holding a CD and a directory that share one song.
class SearchWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    installProgramFiles();
    setMessageAnswerer([this](const MessageRequest& request) {
      messages.append(request.text);
      return MessageAnswer::Ok;
    });
    window = std::make_unique<frm_main>();
    window->show();
    ASSERT_EQ(BdConnection().State(), kStateOpen);

    const auto cd = makeListing(u"CD uno"_s, kMedioCd, {2, 1});
    setSong(*cd, 1, u"Ana Belén"_s, u"Canción del árbol"_s);
    setSong(*cd, 3, u"Lola"_s, u"Mar"_s);
    ASSERT_TRUE(Save2bd(*cd).ok());
    const auto dir = makeListing(u"/mis discos"_s, kMedioDirectorio, {2});
    setSong(*dir, 1, u"Ana Belén"_s, u"Canción del árbol"_s);
    setSong(*dir, 2, u"Otro"_s, u"Otra"_s);
    dir->Canciones[2].filename = u"l'agua.mp3"_s;
    ASSERT_TRUE(Save2bd(*dir).ok());

    window->findChild<QAction*>(u"mn_buscar"_s)->trigger();
    search = frm_search::current();
    ASSERT_TRUE(search);
    query = search->findChild<QLineEdit*>(u"txtBuscar"_s);
    table = search->findChild<QTableView*>(u"grdResultados"_s);
    ASSERT_TRUE(query && table);
  }
  void TearDown() override {
    delete frm_search::current();
    window.reset();
    setMessageAnswerer({});
    CloseBd();
  }

  template <typename T>
  T* control(const QString& name) const {
    T* found = search->findChild<T*>(name);
    EXPECT_TRUE(found) << name.toStdString();
    return found;
  }
  QString countLine() const { return control<QLabel>(u"lblCuenta"_s)->text(); }
  // Types text over the query and lets the pause run out.
  void typeQuery(const QString& text) {
    query->selectAll();
    QTest::keyClicks(query, text);
    auto* pause = control<QTimer>(u"tmrBusqueda"_s);
    EXPECT_TRUE(QTest::qWaitFor([pause] { return !pause->isActive(); }, 5000));
    settle();
  }
  // Lets the query running off the window's thread come back.
  void settle() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !search->searching(); }, 10000));
  }
  // The same for the Duplicados page's reading.
  void settleDuplicates() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !search->findingDuplicates(); }, 10000));
  }
  // The Duplicados page's groups, each as "group: copy's listing, copy's listing...".
  QStringList duplicateGroups() const {
    const QAbstractItemModel* model = control<QTreeView>(u"tvDuplicados"_s)->model();
    QStringList groups;
    for (int row = 0; row < model->rowCount(); ++row) {
      const QModelIndex group = model->index(row, 0);
      QStringList listings;
      for (int copy = 0; copy < model->rowCount(group); ++copy) {
        listings.append(model->index(copy, 2, group).data().toString());
      }
      groups.append(group.data().toString() + u": "_s + listings.join(u", "_s));
    }
    return groups;
  }
  // Each row as "Nº|Medio|Listado|Directorio|Archivo|Artista|Título".
  QStringList tableRows() const {
    QStringList lines;
    const QAbstractItemModel* model = table->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column <= 6; ++column) {
        cells.append(model->index(row, column).data().toString());
      }
      lines.append(cells.join(u'|'));
    }
    return lines;
  }
  static void doubleClick(QAbstractItemView* view, const QModelIndex& index) {
    const QPoint spot = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, spot);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, spot);
  }
  QList<frm_report*> listings() const {
    QList<frm_report*> found;
    for (QMdiSubWindow* child : window->mdiArea()->subWindowList()) {
      if (auto* report = qobject_cast<frm_report*>(child->widget())) {
        found.append(report);
      }
    }
    return found;
  }
  // The listing window's chosen node must be the one asked for, and on screen.
  static void expectChosenNode(frm_report* report, const QString& title, const QString& text) {
    EXPECT_EQ(report->windowTitle(), title);
    EXPECT_FALSE(report->findChild<QAction*>(u"2bd"_s)->isEnabled());
    auto* tv = report->findChild<QTreeWidget*>(u"tv"_s);
    QCoreApplication::processEvents();
    ASSERT_TRUE(tv->currentItem());
    EXPECT_EQ(tv->currentItem()->text(0), text);
    EXPECT_TRUE(tv->currentItem()->isSelected());
    EXPECT_TRUE(tv->viewport()->rect().intersects(tv->visualItemRect(tv->currentItem())));
  }

  std::unique_ptr<frm_main> window;
  QStringList messages;
  frm_search* search = nullptr;
  QLineEdit* query = nullptr;
  QTableView* table = nullptr;
};

}  // namespace

TEST_F(SearchWindowTest, TypingSearchesAfterAPauseAndANewerQueryReplacesTheResults) {
  EXPECT_TRUE(search->isWindow());
  EXPECT_EQ(search->parentWidget(), window.get());
  EXPECT_EQ(search->windowTitle(), u"Buscar en la BD"_s);
  QStringList headers;
  for (int column = 0; column < table->model()->columnCount(); ++column) {
    headers.append(table->model()->headerData(column, Qt::Horizontal).toString());
  }
  EXPECT_EQ(headers.join(u','),
            u"Nº,Medio,Listado,Directorio,Archivo,Artista,Título,Álbum,"
            u"Año,Pista,Género,Duración,Ubicación"_s);
  ASSERT_EQ(writeListingProperties(2, {.ubicacion = u"Caja 3"_s}), QString());

  QTest::keyClicks(query, u"CANCION"_s);
  // Nothing is searched while the user is still typing.
  EXPECT_TRUE(control<QTimer>(u"tmrBusqueda"_s)->isActive());
  EXPECT_EQ(table->model()->rowCount(), 0);
  typeQuery(u"CANCION"_s);
  EXPECT_EQ(tableRows(),
            QStringList({u"1|CD|CD uno|/music/dir1|1-1.mp3|Ana Belén|Canción del árbol"_s,
                         u"2|Directorio|/mis discos|/music/dir1|1-1.mp3|Ana Belén|"
                         u"Canción del árbol"_s}));
  EXPECT_EQ(table->model()->index(0, 8).data().toString(), u"1999"_s);
  EXPECT_EQ(table->model()->index(1, 12).data().toString(), u"Caja 3"_s);
  EXPECT_EQ(countLine(), u"2 archivos en 2 listados"_s);

  typeQuery(u"lola"_s);
  EXPECT_EQ(tableRows(), QStringList({u"1|CD|CD uno|/music/dir2|2-1.mp3|Lola|Mar"_s}));
  EXPECT_EQ(countLine(), u"1 archivo en 1 listado"_s);

  typeQuery(u"nadie tiene esto"_s);
  EXPECT_EQ(tableRows(), QStringList());
  EXPECT_EQ(countLine(), u"0 archivos en 0 listados"_s);
  query->clear();
  search->Busca();
  EXPECT_EQ(countLine(), QString());
}

TEST_F(SearchWindowTest, ANewerQueryWinsAndTheOlderOneNeverFillsTheTable) {
  QSignalSpy resets(table->model(), &QAbstractItemModel::modelReset);
  query->setText(u"ana"_s);
  search->Busca();
  EXPECT_TRUE(search->searching());
  query->setText(u"lola"_s);
  search->Busca();
  settle();
  EXPECT_EQ(tableRows(), QStringList({u"1|CD|CD uno|/music/dir2|2-1.mp3|Lola|Mar"_s}));
  EXPECT_EQ(resets.count(), 1);

  // Emptied meanwhile: the query running is dropped with the table.
  query->setText(u"ana"_s);
  search->Busca();
  query->clear();
  search->Busca();
  EXPECT_FALSE(search->searching());
  QTest::qWait(50);
  EXPECT_EQ(tableRows(), QStringList());
}

TEST_F(SearchWindowTest, TheChoosersNarrowTheSearchAtOnce) {
  auto* field = control<QComboBox>(u"cboCampo"_s);
  auto* medium = control<QComboBox>(u"cboMedio"_s);
  QStringList fields;
  for (int i = 0; i < field->count(); ++i) {
    fields.append(field->itemText(i));
  }
  EXPECT_EQ(fields.join(u','),
            u"Todo,Artista,Título,Álbum,Comentario,Género,Año,Archivo,Directorio,Listado"_s);
  EXPECT_EQ(medium->count(), 3);

  typeQuery(u"ana"_s);
  EXPECT_EQ(tableRows().size(), 2);
  medium->setCurrentText(u"CDs"_s);
  settle();
  EXPECT_EQ(tableRows(),
            QStringList({u"1|CD|CD uno|/music/dir1|1-1.mp3|Ana Belén|Canción del árbol"_s}));
  medium->setCurrentText(u"Directorios"_s);
  settle();
  EXPECT_EQ(tableRows().value(0).left(2), u"2|"_s);
  EXPECT_EQ(tableRows().size(), 1);
  field->setCurrentText(u"Título"_s);
  settle();
  EXPECT_EQ(countLine(), u"0 archivos en 0 listados"_s);

  medium->setCurrentText(u"Todos"_s);
  field->setCurrentText(u"Listado"_s);
  typeQuery(u"uno"_s);
  EXPECT_EQ(countLine(), u"3 archivos en 1 listado"_s);
  field->setCurrentText(u"Archivo"_s);
  typeQuery(u"l'agua"_s);
  EXPECT_EQ(tableRows(), QStringList({u"2|Directorio|/mis discos|/music/dir1|l'agua.mp3|Otro|"
                                      u"Otra"_s}));
}

TEST_F(SearchWindowTest, ADoubleClickOpensTheStoredListingWithTheFileChosen) {
  typeQuery(u"agua"_s);
  ASSERT_EQ(table->model()->rowCount(), 1);
  doubleClick(table, table->model()->index(0, 4));
  ASSERT_EQ(listings().size(), 1);
  expectChosenNode(listings().first(), u"[DIR] /mis discos"_s, u"l'agua.mp3"_s);

  // A file far down a long listing is scrolled to.
  const auto longListing = makeListing(u"CD largo"_s, kMedioCd, {3, 120});
  setSong(*longListing, 123, u"Zeta"_s, u"Último"_s);
  ASSERT_TRUE(Save2bd(*longListing).ok());
  typeQuery(u"zeta"_s);
  ASSERT_EQ(table->model()->rowCount(), 1);
  doubleClick(table, table->model()->index(0, 0));
  ASSERT_EQ(listings().size(), 2);
  expectChosenNode(listings().last(), u"[CD] CD largo"_s, u"2-120.mp3"_s);

  // The listing is read as it is now: one deleted meanwhile opens nothing that stays.
  typeQuery(u"lola"_s);
  ASSERT_TRUE(BdConnection().Execute(u"DELETE FROM reports WHERE rp_id = 1"_s));
  doubleClick(table, table->model()->index(0, 0));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(listings().size(), 2);
}

TEST_F(SearchWindowTest, DuplicadosGroupsTheCopiesAndOpensOne) {
  auto* tabs = control<QTabWidget>(u"tabPaginas"_s);
  EXPECT_EQ(tabs->tabText(1), u"Duplicados"_s);
  tabs->setCurrentIndex(1);
  settleDuplicates();
  auto* tree = control<QTreeView>(u"tvDuplicados"_s);
  const QAbstractItemModel* model = tree->model();
  ASSERT_EQ(model->rowCount(), 1);
  const QModelIndex group = model->index(0, 0);
  EXPECT_EQ(group.data().toString(), u"2 copias: Ana Belén - Canción del árbol"_s);
  ASSERT_EQ(model->rowCount(group), 2);
  EXPECT_EQ(model->index(0, 2, group).data().toString(), u"CD uno"_s);
  EXPECT_EQ(model->index(1, 2, group).data().toString(), u"/mis discos"_s);
  EXPECT_EQ(model->index(1, 3, group).data().toString(), u"/music/dir1"_s);
  EXPECT_EQ(control<QLabel>(u"lblDuplicados"_s)->text(),
            u"1 archivo repetido, 2 copias en total"_s);

  control<QComboBox>(u"cboMedioDup"_s)->setCurrentText(u"CDs"_s);
  settleDuplicates();
  EXPECT_EQ(model->rowCount(), 0);
  control<QComboBox>(u"cboMedioDup"_s)->setCurrentText(u"Todos"_s);
  settleDuplicates();
  ASSERT_EQ(model->rowCount(), 1);

  // The group's own row opens nothing; a copy opens its listing.
  doubleClick(tree, model->index(0, 0));
  EXPECT_TRUE(listings().isEmpty());
  tree->expandAll();
  doubleClick(tree, model->index(1, 4, model->index(0, 0)));
  ASSERT_EQ(listings().size(), 1);
  expectChosenNode(listings().first(), u"[DIR] /mis discos"_s, u"1-1.mp3"_s);
}

// The page is read off the window's thread, index catch-up included (a listing stored since the
// last reading is taken in first); a newer reading wins, and the older one never fills the
// tree; a search typed meanwhile on the other page does not drop it.
TEST_F(SearchWindowTest, DuplicadosIsReadOffTheWindowsThreadAndTheNewestReadingWins) {
  const auto third = makeListing(u"CD dos"_s, kMedioCd, {1});
  setSong(*third, 1, u"Ana Belén"_s, u"Canción del árbol"_s);
  ASSERT_TRUE(Save2bd(*third).ok());
  auto* tree = control<QTreeView>(u"tvDuplicados"_s);
  QSignalSpy resets(tree->model(), &QAbstractItemModel::modelReset);
  auto* medium = control<QComboBox>(u"cboMedioDup"_s);
  medium->setCurrentText(u"Directorios"_s);
  EXPECT_TRUE(search->findingDuplicates());
  medium->setCurrentText(u"CDs"_s);
  query->setText(u"lola"_s);
  search->Busca();
  settleDuplicates();
  settle();
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(duplicateGroups(),
            QStringList({u"2 copias: Ana Belén - Canción del árbol: CD uno, CD dos"_s}));
  EXPECT_EQ(tableRows(), QStringList({u"1|CD|CD uno|/music/dir2|2-1.mp3|Lola|Mar"_s}));

  // A reading dropped by a newer one leaves only the newer one's groups.
  medium->setCurrentText(u"Todos"_s);
  search->BuscaDuplicados();
  settleDuplicates();
  EXPECT_EQ(resets.count(), 2);
  EXPECT_EQ(duplicateGroups(), QStringList({u"3 copias: Ana Belén - Canción del árbol: CD uno, "
                                            u"/mis discos, CD dos"_s}));
  EXPECT_EQ(control<QLabel>(u"lblDuplicados"_s)->text(),
            u"1 archivo repetido, 3 copias en total"_s);
}

TEST_F(SearchWindowTest, MenuShortcutAndToolbarShowTheOneWindowWhichShutdownNames) {
  EXPECT_TRUE(loadedFormNames().contains(u"frm_search"_s));
  auto* toolbar = window->findChild<QToolBar*>(u"Toolbar1"_s, Qt::FindDirectChildrenOnly);
  QAction* button = toolbar->findChild<QAction*>(u"buscar"_s);
  ASSERT_TRUE(button);
  EXPECT_EQ(button->toolTip(), u"Buscar en la BD"_s);
  EXPECT_FALSE(button->icon().isNull());
  QTest::mouseClick(toolbar->widgetForAction(button), Qt::LeftButton);
  EXPECT_EQ(frm_search::current(), search);
  EXPECT_EQ(window->findChild<QAction*>(u"mn_buscar"_s)->shortcut(),
            QKeySequence(Qt::CTRL | Qt::Key_F));

  search->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(frm_search::current(), nullptr);
  EXPECT_FALSE(loadedFormNames().contains(u"frm_search"_s));
  QTest::mouseClick(toolbar->widgetForAction(button), Qt::LeftButton);
  ASSERT_TRUE(frm_search::current());
  EXPECT_TRUE(frm_search::current()->isVisible());
}

TEST_F(SearchWindowTest, ADatabaseThatCannotBeReadIsSaidInTheCountLine) {
  CloseBd();
  typeQuery(u"ana"_s);
  EXPECT_TRUE(countLine().startsWith(u"No se ha podido buscar: "_s)) << countLine().toStdString();
  EXPECT_EQ(table->model()->rowCount(), 0);
  control<QTabWidget>(u"tabPaginas"_s)->setCurrentIndex(1);
  EXPECT_TRUE(control<QLabel>(u"lblDuplicados"_s)->text().startsWith(u"No se han podido"_s));
}

TEST_F(SearchWindowTest, ColumnsFitWhatTheyHoldAndEveryCellShowsItsWholeValueAsATooltip) {
  typeQuery(u"arbol"_s);
  ASSERT_EQ(table->model()->rowCount(), 2);
  const QHeaderView& header = *table->horizontalHeader();
  const int titleColumn = 6;
  const QString title = u"Canción del árbol"_s;
  EXPECT_LT(header.sectionSize(0), header.sectionSize(titleColumn));
  EXPECT_GT(header.sectionSize(titleColumn), table->fontMetrics().horizontalAdvance(title));
  EXPECT_TRUE(header.stretchLastSection());
  EXPECT_EQ(table->model()->index(0, titleColumn).data(Qt::ToolTipRole).toString(), title);

  // The view shows that tooltip where the cell is.
  const QRect cell = table->visualRect(table->model()->index(1, titleColumn));
  QHelpEvent help(QEvent::ToolTip, cell.center(), table->viewport()->mapToGlobal(cell.center()));
  QApplication::sendEvent(table->viewport(), &help);
  EXPECT_EQ(QToolTip::text(), title);
  QToolTip::hideText();

  control<QTabWidget>(u"tabPaginas"_s)->setCurrentIndex(1);
  settleDuplicates();
  auto* tree = control<QTreeView>(u"tvDuplicados"_s);
  const QModelIndex group = tree->model()->index(0, 0);
  EXPECT_LT(tree->header()->sectionSize(0),
            tree->fontMetrics().horizontalAdvance(group.data().toString()));
  EXPECT_EQ(tree->model()->index(0, 2, group).data(Qt::ToolTipRole).toString(), u"CD uno"_s);
}

// Stored names carry "´" for "'"; the table shows a directory and a file by their names on disk.
TEST(SearchTableTexts, DirectoryAndFileNamesShowTheirApostrophes) {
  CatalogueFile file;
  file.dirname = u"/cd/Guns N´ Roses"_s;
  file.filename = u"It´s so easy.mp3"_s;
  EXPECT_EQ(fileColumnText(file, static_cast<int>(FileColumn::Directorio)), u"/cd/Guns N' Roses"_s);
  EXPECT_EQ(fileColumnText(file, static_cast<int>(FileColumn::Archivo)), u"It's so easy.mp3"_s);
}

// A database written before the search index existed gains it on the search thread, not the
// window's: the page says it is at work while the window goes on answering, and the log still
// names the indexing once.
TEST_F(SearchWindowTest, AnOlderDatabaseIsIndexedOffTheWindowsThread) {
  ASSERT_TRUE(BdConnection().Execute(u"PRAGMA user_version = 0"_s));
  LogRecorder log;
  control<QTabWidget>(u"tabPaginas"_s)->setCurrentIndex(1);
  EXPECT_TRUE(search->findingDuplicates());
  EXPECT_EQ(control<QLabel>(u"lblDuplicados"_s)->text(), u"Buscando los archivos repetidos..."_s);
  query->setText(u"lola"_s);
  search->Busca();
  EXPECT_TRUE(search->searching());
  settleDuplicates();
  settle();
  EXPECT_EQ(duplicateGroups().size(), 1);
  EXPECT_EQ(tableRows().size(), 1);
  EXPECT_EQ(log.lines.filter(u"Creado el índice de búsqueda"_s).size(), 1);
}

// «Ir al original» of a file whose disc is not there asks for it, naming the listing.
TEST_F(SearchWindowTest, IrAlOriginalAsksForTheDiscOfTheChosenFile) {
  typeQuery(u"lola"_s);
  table->setCurrentIndex(table->model()->index(0, 0));
  EXPECT_TRUE(table->actions().contains(control<QAction>(u"mn_original"_s)));
  QTest::mouseClick(control<QPushButton>(u"cmdOriginal"_s), Qt::LeftButton);
  auto* box = search->findChild<QDialog*>(u"dlgEsperaOriginal"_s);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->findChild<QLabel*>(u"lblInserte"_s)->text(), u"Inserte el disco nº 1 «CD uno»"_s);
  box->reject();
}
