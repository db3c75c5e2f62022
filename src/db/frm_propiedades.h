#pragma once

#include <QDialog>

#include "db/listing_properties.h"

class QLabel;
class QLineEdit;
class QFormLayout;

/**
 * «Propiedades» of a stored listing: edits where it is kept, its category, a comment and whom
 * it is lent to, and shows the date lent and its recorded source (the dates it was catalogued
 * and updated, the disc or folder it came from). «Aceptar» saves the fields in one
 * transaction; a refusal is said and the dialog stays open.
 */
class frm_propiedades : public QDialog {
  Q_OBJECT

 public:
  /**
   * Reads listing rpId and shows its dialog over parent, without waiting for it; nothing, with
   * the reason said to the user, when the listing's fields cannot be read.
   */
  static frm_propiedades* open(QWidget* parent, int rpId);

  void accept() override;

 private:
  frm_propiedades(QWidget* parent, int rpId, const ListingProperties& fields);
  QLineEdit* addField(QFormLayout& form, const QString& name, const QString& label,
                      const QString& text);
  QWidget* sourceBox();
  QWidget* historyBox();

  int rpId_;
  QLineEdit* ubicacion_ = nullptr;
  QLineEdit* categoria_ = nullptr;
  QLineEdit* comentario_ = nullptr;
  QLineEdit* prestadoA_ = nullptr;
};
