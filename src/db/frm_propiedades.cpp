#include "db/frm_propiedades.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/app_info.h"
#include "db/listing_details.h"
#include "db/update_history.h"
#include "platform/gui_message_box.h"
#include "platform/gui_window_placement.h"

using namespace Qt::StringLiterals;

namespace {

void sayFailure(QWidget* parent, const QString& what, const QString& reason) {
  showMessage(
      {parent, AppTitle(), what + u"\n\n"_s + reason, MessageIcon::Critical, MessageButtons::Ok});
}

QLabel* valueLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

}  // namespace

frm_propiedades* frm_propiedades::open(QWidget* parent, int rpId) {
  QString reason;
  const std::optional<ListingProperties> fields = readListingProperties(rpId, reason);
  if (!fields) {
    sayFailure(parent, u"No se pueden leer las propiedades del listado de la BD."_s, reason);
    return nullptr;
  }
  auto* dialog = new frm_propiedades(parent, rpId, *fields);
  centreOverWindow(dialog, parent);
  dialog->show();
  return dialog;
}

frm_propiedades::frm_propiedades(QWidget* parent, int rpId, const ListingProperties& fields)
    : QDialog(parent), rpId_(rpId) {
  setObjectName(u"frm_propiedades"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Propiedades del listado nº %1"_s.arg(rpId));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  ubicacion_ = addField(*form, u"txtUbicacion"_s, u"Ubicación:"_s, fields.ubicacion);
  categoria_ = addField(*form, u"txtCategoria"_s, u"Categoría:"_s, fields.categoria);
  comentario_ = addField(*form, u"txtComentario"_s, u"Comentario:"_s, fields.comentario);
  prestadoA_ = addField(*form, u"txtPrestadoA"_s, u"Prestado a:"_s, fields.prestadoA);
  QLabel* lent = valueLabel(fields.prestadoEl, this);
  lent->setObjectName(u"lblPrestadoEl"_s);
  form->addRow(u"Prestado el:"_s, lent);
  layout->addLayout(form);
  layout->addWidget(sourceBox());
  layout->addWidget(historyBox());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(u"Aceptar"_s);
  buttons->button(QDialogButtonBox::Cancel)->setText(u"Cancelar"_s);
  connect(buttons, &QDialogButtonBox::accepted, this, &frm_propiedades::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &frm_propiedades::reject);
  layout->addWidget(buttons);
}

QLineEdit* frm_propiedades::addField(QFormLayout& form, const QString& name, const QString& label,
                                     const QString& text) {
  auto* edit = new QLineEdit(text, this);
  edit->setObjectName(name);
  form.addRow(label, edit);
  return edit;
}

// The recorded source's dates and identity; a listing stored before they were kept says so.
QWidget* frm_propiedades::sourceBox() {
  auto* box = new QGroupBox(u"Origen"_s, this);
  box->setObjectName(u"grpOrigen"_s);
  auto* form = new QFormLayout(box);
  QString reason;
  const std::optional<StoredSource> source = storedSourceOf(rpId_, reason);
  if (!source) {
    form->addRow(valueLabel(reason.isEmpty() ? u"No se guardó el origen de este listado."_s
                                             : u"No se puede leer el origen: "_s + reason,
                            box));
    return box;
  }
  for (const SourceDetail& detail : sourceDetails(*source)) {
    QLabel* value = valueLabel(detail.value, box);
    value->setObjectName(u"lbl_"_s + detail.key);
    form->addRow(detail.label + u':', value);
  }
  return box;
}

// Each update in place of the listing, the oldest first: when, and what it changed.
QWidget* frm_propiedades::historyBox() {
  auto* box = new QGroupBox(u"Actualizaciones"_s, this);
  box->setObjectName(u"grpActualizaciones"_s);
  auto* layout = new QVBoxLayout(box);
  QString reason;
  const std::vector<UpdateHistoryRow> history = readUpdateHistory(rpId_, &reason);
  if (history.empty()) {
    layout->addWidget(valueLabel(
        reason.isEmpty() ? u"No se ha actualizado nunca."_s : u"No se puede leer: "_s + reason,
        box));
    return box;
  }
  auto* table = new QTreeWidget(box);
  table->setObjectName(u"tvActualizaciones"_s);
  table->setRootIsDecorated(false);
  table->setHeaderLabels({u"Fecha"_s, u"Añadidos"_s, u"Quitados"_s, u"Cambiados"_s, u"Segundos"_s});
  for (const UpdateHistoryRow& row : history) {
    new QTreeWidgetItem(table,
                        {row.date, QString::number(row.added), QString::number(row.removed),
                         QString::number(row.changed), QString::number(row.seconds, 'f', 1)});
  }
  layout->addWidget(table);
  return box;
}

void frm_propiedades::accept() {
  const QString error =
      writeListingProperties(rpId_, {ubicacion_->text().trimmed(), categoria_->text().trimmed(),
                                     comentario_->text().trimmed(), prestadoA_->text().trimmed()});
  if (!error.isEmpty()) {
    sayFailure(this, u"No se han podido guardar las propiedades del listado en la BD."_s, error);
    return;
  }
  QDialog::accept();
}
