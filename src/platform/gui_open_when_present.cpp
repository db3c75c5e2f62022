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

bool openFolder(const QString& folder) {
  return !folder.isEmpty() && openOnDesktop(folder);
}

}  // namespace

QDialog* waitUntilPresent(QWidget* parent, const WaitBoxNames& names,
                          const std::function<QString()>& locate,
                          const std::function<QString()>& prompt,
                          const std::function<bool(const QString& folder)>& take) {
  auto* box = new QDialog(parent);
  box->setObjectName(names.objectName);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(names.title);
  auto* layout = new QVBoxLayout(box);
  auto* text = new QLabel(prompt(), box);
  text->setObjectName(u"lblInserte"_s);
  text->setTextFormat(Qt::PlainText);
  layout->addWidget(text);
  auto* cancel = new QPushButton(u"Cancelar"_s, box);
  cancel->setObjectName(u"cmdCancelar"_s);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  QObject::connect(cancel, &QPushButton::clicked, box, &QDialog::reject);
  // The timer is the box's: it stops when the box goes, whichever way it goes.
  auto* again = new QTimer(box);
  QObject::connect(again, &QTimer::timeout, box, [box, text, locate, prompt, take] {
    if (const QString folder = locate(); !folder.isEmpty() && take(folder)) {
      box->accept();
      return;
    }
    text->setText(prompt());
  });
  again->start(kLookAgainMs);
  centreOverWindow(box, parent);
  box->show();
  return box;
}

void openWhenPresent(QWidget* parent, const std::function<QString()>& locate,
                     const QString& prompt) {
  if (openFolder(locate())) {
    return;
  }
  waitUntilPresent(
      parent, {u"dlgEsperaOriginal"_s, u"Ir al original"_s}, locate, [prompt] { return prompt; },
      openFolder);
}
