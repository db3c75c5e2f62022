// A store that never finishes: it writes a listing large enough to spill past the database's
// page cache, says "midway" once half its files are written, and then waits to be killed.

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <thread>

#include "base/app_info.h"
#include "base/log.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "session/catalogue_composition.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  composeCatalogue();
  if (argc != 2) {
    return 2;
  }
  setProgramDir(QString::fromLocal8Bit(argv[1]));
  setLogFilePath(ProgramFile(u"child.log"_s));
  if (!OpenBd().isEmpty()) {
    return 3;
  }
  auto model = makeListing(u"killed"_s, kMedioCd, {100, 100, 100, 100});
  for (int f = 1; f <= model->NumCancionesMP3; ++f) {
    model->Canciones[f].comment = QString(8000, u'x');
  }
  Save2bd(*model, [](const StoreProgress& progress) {
    if (progress.overall == 1 && progress.stepValue == 300) {
      std::puts("midway");
      std::fflush(stdout);
      for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
      }
    }
  });
  return 1;
}
