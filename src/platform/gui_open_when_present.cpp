#include "platform/gui_open_when_present.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/desktop_opener.h"
#include "platform/gui_window_placement.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLookAgainMs = 1000;

bool openIfPresent(const std::function<QString()>& locate) {
  const QString folder = locate();
  return !folder.isEmpty() && openOnDesktop(folder);
}

}  // namespace

void openWhenPresent(QWidget* parent, const std::function<QString()>& locate,
                     const QString& prompt) {
  if (openIfPresent(locate)) {
    return;
  }
  auto* box = new QDialog(parent);
  box->setObjectName(u"dlgEsperaOriginal"_s);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(u"Ir al original"_s);
  auto* layout = new QVBoxLayout(box);
  auto* text = new QLabel(prompt, box);
  text->setObjectName(u"lblInserte"_s);
  text->setTextFormat(Qt::PlainText);
  layout->addWidget(text);
  auto* cancel = new QPushButton(u"Cancelar"_s, box);
  cancel->setObjectName(u"cmdCancelar"_s);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  QObject::connect(cancel, &QPushButton::clicked, box, &QDialog::reject);
  // The timer is the box's: it stops when the box goes, whichever way it goes.
  auto* again = new QTimer(box);
  QObject::connect(again, &QTimer::timeout, box, [box, locate] {
    if (openIfPresent(locate)) {
      box->accept();
    }
  });
  again->start(kLookAgainMs);
  centreOverWindow(box, parent);
  box->show();
}
