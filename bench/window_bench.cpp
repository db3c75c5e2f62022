// Drives the real windows on a real screen as a user does (F6 with the folder chooser
// answered, "refresca", opening a stored listing, storing) and prints each road's time beside
// the command line's time for the same work. Exits 1 when a target is missed.
// Usage: window_bench PROGRAM_DIR QUILLET TREE_1000 TREE_2000 TREE_5001 FULL_LISTING_TREE

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/frm_main.h"
#include "base/app_info.h"
#include "base/log.h"
#include "db/frm_reportsbd.h"
#include "listing/frm_report.h"
#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"
#include "session/catalogue_composition.h"
#include "window_driving.h"

using namespace Qt::StringLiterals;

namespace {

// Lines a long session leaves in the log list; QUILLET_BENCH_LOG_LINES sets another count.
int prefilledLines() {
  bool ok = false;
  const int lines = qEnvironmentVariableIntValue("QUILLET_BENCH_LOG_LINES", &ok);
  return ok ? lines : 30000;
}

class Bench : public WindowDriver {
 public:
  Bench(QString quillet, frm_main& window) : WindowDriver(window), quillet_(std::move(quillet)) {}

  // Median time of the command line running args, and its standard output of the last run.
  double cliMs(const QStringList& args, int runs, QByteArray* output = nullptr) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      QProcess process;
      QElapsedTimer clock;
      clock.start();
      process.start(quillet_, args);
      if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "quillet %s falló: %s\n", qPrintable(args.join(u' ')),
                     process.readAllStandardError().constData());
        std::exit(2);
      }
      const QByteArray out = process.readAllStandardOutput();
      times.push_back(clock.nsecsElapsed() / 1e6);
      if (output) {
        *output = out;
      }
    }
    return median(times);
  }

  double scanMs(const QString& tree) {
    const double ms = timedMs(window_, [&] { scan(tree); });
    closeListings();
    return ms;
  }

  QListWidget* logList() const {
    return window_.centralWidget()
        ->findChild<QWidget*>(u"Picture1"_s, Qt::FindDirectChildrenOnly)
        ->findChild<QListWidget*>(u"List1"_s, Qt::FindDirectChildrenOnly);
  }

  // The log list as a long session leaves it, or empty.
  void fillLog(int lines) {
    QListWidget* list = logList();
    list->clear();
    QStringList filler;
    for (int i = 0; i < lines; ++i) {
      filler.append(u"Buscando en /home/usuario/Música/relleno %1"_s.arg(i));
    }
    list->addItems(filler);
    list->setCurrentRow(list->count() - 1);
    settle(window_);
  }

  QString quillet_;
};

struct Row {
  QString road;
  double windowMs;
  QString cli;
  double cliMs;
};

void printRow(const Row& row) {
  std::printf("%-42s %9.1f ms   %-26s %9.1f ms\n", qPrintable(row.road), row.windowMs,
              qPrintable(row.cli), row.cliMs);
}

bool check(bool ok, const QString& what) {
  std::printf("%s %s\n", ok ? "cumple:   " : "NO CUMPLE:", qPrintable(what));
  return ok;
}

// The log list must not make a road slower: with it full, at most half as slow again, and a
// few milliseconds of a busy machine's noise.
bool flat(double empty, double full) {
  return full <= empty * 1.5 + 20;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  composeCatalogue();
  // Each line as it is measured: a slow road still shows the ones before it.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc != 7) {
    std::fprintf(stderr, "uso: window_bench PROGRAM_DIR QUILLET T1000 T2000 T5001 LISTADO\n");
    return 2;
  }
  setProgramDir(QString::fromLocal8Bit(argv[1]));
  const QString quillet = QString::fromLocal8Bit(argv[2]);
  const QString trees[] = {QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]),
                           QString::fromLocal8Bit(argv[5])};
  const QString full = QString::fromLocal8Bit(argv[6]);
  int messages = 0;
  answerDialogs(messages);

  frm_main window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    std::fprintf(stderr, "la ventana principal no se mostró\n");
    return 2;
  }
  Bench bench(quillet, window);
  std::vector<Row> rows;
  std::printf("%-42s %12s   %-26s %12s\n", "camino (ventana)", "tiempo", "línea de órdenes",
              "tiempo");

  double scanWindow[3];
  const char* sizes[] = {"1.000", "2.000", "5.001"};
  for (int i = 0; i < 3; ++i) {
    bench.fillLog(0);
    scanWindow[i] = bench.scanMs(trees[i]);
    printRow({u"F6, árbol de %1 directorios"_s.arg(QLatin1StringView(sizes[i])), scanWindow[i],
              u"scan"_s, bench.cliMs({u"scan"_s, trees[i]}, 3)});
  }
  const double scanCli5001 = bench.cliMs({u"scan"_s, trees[2]}, 3);

  // The largest listing, scanned once; then each road on it, with the log list empty and full.
  QByteArray stdoutText;
  const double showCli = [&] {
    bench.cliMs({u"scan"_s, full, u"--store"_s}, 1);
    return bench.cliMs({u"show"_s, u"1"_s}, 5, &stdoutText);
  }();
  const double storeCli = bench.cliMs({u"scan"_s, full, u"--store"_s}, 3);
  struct Roads {
    double scan1000, refresca, store, open, lines;
  };
  auto measureRoads = [&](int prefill) {
    Roads roads{};
    bench.fillLog(prefill);
    roads.scan1000 = bench.scanMs(trees[0]);
    bench.fillLog(prefill);
    frm_report* report = bench.scan(full);
    settle(window);
    std::vector<double> refresca, store, open;
    for (int i = 0; i < 5; ++i) {
      refresca.push_back(timedMs(window, [&] { Bench::press(*report, u"refresca"_s); }));
    }
    for (int i = 0; i < 3; ++i) {
      store.push_back(timedMs(window, [&] { Bench::press(*report, u"2bd"_s); }));
    }
    bench.closeListings();
    for (int i = 0; i < 5; ++i) {
      open.push_back(timedMs(window, [&] { bench.openNewestStored(); }));
      bench.closeListings();
    }
    delete frm_reportsbd::current();
    // Past the list's limit when it starts full: the list empties on the way.
    roads.lines = timedMs(window, [&] {
      for (int i = 0; i < 5000; ++i) {
        WriteLog(u"línea %1"_s.arg(i));
      }
    });
    roads.refresca = median(refresca);
    roads.store = median(store);
    roads.open = median(open);
    return roads;
  };
  const Roads empty = measureRoads(0);
  const Roads fullLog = measureRoads(prefilledLines());
  const double scanCli1000 = bench.cliMs({u"scan"_s, trees[0]}, 3);
  for (const auto& [roads, label] : {std::pair{empty, u"lista de log vacía"_s},
                                     std::pair{fullLog, u"%1 líneas"_s.arg(prefilledLines())}}) {
    printRow({u"F6, 1.000 dirs, "_s + label, roads.scan1000, u"scan"_s, scanCli1000});
    printRow({u"refresca, "_s + label, roads.refresca, u"show"_s, showCli});
    printRow({u"abrir desde BD, "_s + label, roads.open, u"show"_s, showCli});
    printRow({u"almacenar en BD, "_s + label, roads.store, u"scan --store"_s, storeCli});
    printRow({u"5.000 líneas de log, "_s + label, roads.lines, QString(), 0});
  }

  bool ok = true;
  ok &= check(scanWindow[2] <= 4 * scanCli5001,
              u"F6 de 5.001 directorios <= 4x la línea de órdenes (%1 ms)"_s.arg(scanCli5001));
  ok &= check(scanWindow[2] <= 6 * scanWindow[0], u"F6 de 5.001 directorios <= 6x el de 1.000"_s);
  ok &= check(empty.refresca < 100 && fullLog.refresca < 100, u"refresca < 100 ms"_s);
  ok &= check(empty.open < 300 && fullLog.open < 300, u"abrir desde BD < 300 ms"_s);
  ok &= check(empty.store < 500 && fullLog.store < 500, u"almacenar < 500 ms"_s);
  ok &= check(
      flat(empty.scan1000, fullLog.scan1000) && flat(empty.refresca, fullLog.refresca) &&
          flat(empty.open, fullLog.open) && flat(empty.store, fullLog.store) &&
          flat(empty.lines, fullLog.lines),
      u"ningún camino crece con las líneas de la lista de log (lleno <= 1,5x vacío + 20 ms)"_s);
  ok &= check(messages == 0, u"ningún mensaje de error"_s);
  setFolderChooserAnswerer({});
  setMessageAnswerer({});
  return ok ? 0 : 1;
}
