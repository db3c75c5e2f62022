// Prints a listing through the print window onto one CUPS queue, in a process of its own: the
// print system reads CUPS_SERVER once, so the test that starts its private server runs this.
//
//   form2_cups_helper QUEUE LOGFILE ENTRY...
//
// Log lines and message boxes are echoed on standard output as "log: ..." and "message: ...".

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <cstdio>

#include "base/log.h"
#include "output/form2.h"
#include "platform/gui_message_box.h"

using namespace Qt::StringLiterals;

namespace {

void echo(const char* kind, const QString& text) {
  std::printf("%s: %s\n", kind, text.toUtf8().constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() < 3) {
    std::fprintf(stderr, "usage: form2_cups_helper QUEUE LOGFILE ENTRY...\n");
    return 2;
  }
  setLogFilePath(arguments[2]);
  setLogListSink([](const QString& line) { echo("log", line); });
  setMessageAnswerer([](const MessageRequest& request) {
    echo("message", request.text);
    return MessageAnswer::Ok;
  });

  QListWidget listing;
  listing.addItems(arguments.mid(3));
  Form2* form = Form2::instance();
  form->Abre(u"120000"_s, &listing);
  auto* printers = form->findChild<QComboBox*>(u"Combo4"_s);
  const int queue = printers->findText(arguments[1]);
  if (queue < 0) {
    std::fprintf(stderr, "queue %s is not listed\n", argv[1]);
    return 3;
  }
  printers->setCurrentIndex(queue);
  form->findChild<QPushButton*>(u"Command1"_s)->click();
  delete form;
  return 0;
}
