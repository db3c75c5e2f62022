#include "db/frm_actualizar.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/app_info.h"
#include "db/listing_update.h"
#include "platform/gui_message_box.h"

using namespace Qt::StringLiterals;

namespace {

QLabel* noteLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

// One branch per kind, «Añadidos (3)», holding that kind's files.
void addKind(QTreeWidget& tree, const QString& kind, qsizetype count, const QStringList& files) {
  auto* branch = new QTreeWidgetItem(&tree, {u"%1 (%2)"_s.arg(kind).arg(count)});
  for (const QString& file : files) {
    new QTreeWidgetItem(branch, {file});
  }
}

}  // namespace

frm_actualizar::frm_actualizar(QWidget* parent, const UpdatePlan& plan)
    : QDialog(parent), halfChanged_(plan.halfChanged()) {
  setObjectName(u"frm_actualizar"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(
      u"Actualizar el listado nº %1 «%2»"_s.arg(plan.listing.rpId).arg(plan.listing.name));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(noteLabel(u"lblOrigen"_s, u"Origen: "_s + plan.root, this));
  auto* files = new QTreeWidget(this);
  files->setObjectName(u"tvCambios"_s);
  files->setHeaderHidden(true);
  addKind(*files, u"Añadidos"_s, plan.added.size(), plan.added);
  addKind(*files, u"Eliminados"_s, plan.removed.size(), plan.removed);
  addKind(*files, u"Cambiados"_s, plan.changed.size(), plan.changed);
  addKind(*files, u"Sin cambios"_s, plan.unchanged, {});
  layout->addWidget(files);
  addNotes(plan);
  addButtons();
  resize(520, 420);
}

void frm_actualizar::addNotes(const UpdatePlan& plan) {
  if (plan.savedChoices) {
    layout()->addWidget(noteLabel(
        u"lblOpciones"_s,
        u"Este listado no guardó sus opciones de escaneo: se leerá con las de «Opciones...» "
        u"(%1)."_s.arg(scanChoicesText(plan.choices.tags, plan.choices.limits)),
        this));
  }
  if (halfChanged_) {
    QLabel* warning = noteLabel(u"lblMitad"_s, halfChangedText(), this);
    warning->setStyleSheet(u"font-weight: bold"_s);
    layout()->addWidget(warning);
  }
}

void frm_actualizar::addButtons() {
  auto* buttons = new QDialogButtonBox(this);
  const auto add = [buttons](const QString& name, const QString& text,
                             QDialogButtonBox::ButtonRole role) {
    QPushButton* button = buttons->addButton(text, role);
    button->setObjectName(name);
    return button;
  };
  connect(add(u"cmdAplicar"_s, u"Aplicar"_s, QDialogButtonBox::AcceptRole), &QPushButton::clicked,
          this, &frm_actualizar::askThenApply);
  connect(add(u"cmdDescartar"_s, u"Descartar"_s, QDialogButtonBox::RejectRole),
          &QPushButton::clicked, this, &QDialog::reject);
  connect(add(u"cmdReleer"_s, u"Releer todo"_s, QDialogButtonBox::ActionRole),
          &QPushButton::clicked, this, [this] { done(kRereadAll); });
  layout()->addWidget(buttons);
}

// A listing more than half changed is often another disc: the user says it is the right one.
void frm_actualizar::askThenApply() {
  if (halfChanged_ && showMessage({this, AppTitle(), halfChangedText(), MessageIcon::Question,
                                   MessageButtons::YesNo}) != MessageAnswer::Yes) {
    return;
  }
  accept();
}
