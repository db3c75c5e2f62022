#pragma once

#include <QPageLayout>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "base/loaded_forms.h"

class QComboBox;
class QFont;
class QListWidget;

/**
 * The print window "Configuración Impresora": printer, font, size and paper orientation for
 * printing the rendered listing of one listing window. There is one for the whole application.
 *
 * A listing window's "imprime" button opens it with
 *
 *     Form2::instance()->Abre(identityTag, List1);
 *
 * The window then prints exactly that List1 (each entry whole, markers included) every time
 * "Imprimir" is pressed, until another listing window calls Abre. It holds List1 through a
 * guarded pointer: once the listing window has been destroyed (its "salir" button and close box
 * must destroy it), "Imprimir" prints nothing and still logs its line.
 *
 * The chosen printer becomes the application's current printer (gui_printers.h) for the rest of
 * the run and is remembered as "printer_selected" in section "cfg" of the settings store.
 * "Cerrar" destroys the window; the next instance() starts again from the defaults.
 */
class Form2 final : public QWidget {
  Q_OBJECT

 public:
  /** The application's print window; created, from the defaults, when there is none. */
  static Form2* instance();

  /**
   * Takes the listing to print (the identity tag of its window and that window's List1) and
   * shows the window, bringing it forward when it is already open. Font, size and orientation
   * chosen so far stay.
   */
  void Abre(const QString& indicereport, QListWidget* listing);

  /** Identity tag of the listing window that opened the print window last. */
  QString indicereport() const { return indicereport_; }

 private:
  Form2();

  void createControls();
  void LlenaImpresoras();
  void LlenaFuentes();
  void LlenaTamanyos();
  void LlenaPosiciones();

  void EligeImpresora();
  void Imprimir();
  /** Writes the pages "Imprimir" would print to a PDF file the user names. */
  void GuardarPdf();
  QString printListing(const QString& printerName);
  void reportFailure(const QString& printerName, const QString& reason);

  QFont chosenFont() const;
  QPageLayout::Orientation chosenOrientation() const;
  QStringList listingEntries() const;

  LoadedForm loaded_{QStringLiteral("Form2")};
  QString indicereport_;
  QPointer<QListWidget> listing_;
  QComboBox* Combo1 = nullptr;  // paper orientation
  QComboBox* Combo2 = nullptr;  // font family
  QComboBox* Combo3 = nullptr;  // font size
  QComboBox* Combo4 = nullptr;  // printer
};
