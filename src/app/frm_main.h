#pragma once

#include <QMainWindow>

#include "base/loaded_forms.h"

class QAction;
class LogList;
class QMdiArea;
class QMenu;
class QToolBar;

/**
 * The main window: an MDI parent for the listing windows, with the menu, the toolbar and the log
 * list. Creating it runs the program's start-up; closing it, by any path, ends the program.
 */
class frm_main : public QMainWindow {
  Q_OBJECT

 public:
  explicit frm_main(QWidget* parent = nullptr);
  ~frm_main() override;

  /** Where the listing windows open. */
  QMdiArea* mdiArea() const { return m_mdiArea; }

 public slots:
  virtual void ScanCD();
  virtual void ScanDir();
  virtual void OpenStoredListings();
  virtual void OpenSearch();
  /** "Estadísticas de la BD...": the catalogue's statistics window. */
  void OpenStats();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createWindow();
  void createFileMenu();
  void createToolsMenu();
  void createWindowMenu();
  void createHelpMenu();
  void createToolbar();
  void createLogPanel();
  void createCentralArea();
  void load();

  QMenu* addMenu(QMenu* parent, const QString& name, const QString& caption);
  QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                   const QKeySequence& shortcut = {});
  void addSeparator(QMenu* menu, const QString& name);
  void addToolbarButton(QToolBar* toolbar, const QString& key, int image, const QString& tip);

  void toolbarButtonClicked(QAction* button);
  void openStoredListing(int rpId);
  /** «Exportar catálogo...» of the stored-listings window. */
  void exportCatalogue();
  /** A listing updated from the stored-listings window: its open windows show it anew. */
  void showUpdatedListing(int rpId);
  void openStoredFile(int rpId, const QString& nodeKey);
  void updateLogListWidth();
  void addLogLine(const QString& line);

  LoadedForm m_loaded{QStringLiteral("frm_main")};
  QMdiArea* m_mdiArea = nullptr;
  QMenu* m_windowMenu = nullptr;
  QWidget* m_picture1 = nullptr;
  LogList* m_list1 = nullptr;
};
