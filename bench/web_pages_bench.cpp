// Times the web view's pages over a catalogue holding one listing of 100,000 files, in a
// temporary program directory: the first and the last page of the listing, and a search page
// for one word, alone and from four threads at once as the server's threads ask. Exits 1 when a
// target is missed.

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "search/search_index.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"
#include "web/catalogue_pages.h"

#include "bench_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

bool missed = false;

void verdict(const char* what, double value, double target) {
  const bool ok = value < target;
  missed = missed || !ok;
  std::printf("%-52s %8.1f ms  (target < %.0f ms) %s\n", what, value, target, ok ? "ok" : "MISSED");
  std::fflush(stdout);
}

double percentile95(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() * 95 / 100];
}

// The times of runs answers to request, each checked to be a success.
std::vector<double> answerTimes(const CataloguePages& pages, const WebRequest& request, int runs) {
  std::vector<double> ms;
  for (int run = 0; run < runs; ++run) {
    ms.push_back(timedMs([&] {
      if (pages.answer(request).status != 200) {
        fail(u"no page for "_s + request.path);
      }
    }));
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  TestEnvironment::install();
  QCoreApplication app(argc, argv);
  installProgramFiles();
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  std::printf("storing a listing of 100,000 files...\n");
  std::fflush(stdout);
  const StoreResult stored = Save2bd(*makeListing(u"Grande"_s, 1, std::vector<int>(1000, 100)));
  if (!stored.error.isEmpty()) {
    fail(stored.error);
  }
  indexStoredListing();
  CloseBd();

  const CataloguePages pages;
  if (!pages.openFailure().isEmpty()) {
    fail(pages.openFailure());
  }
  const QString listing = u"/listado/%1"_s.arg(stored.rp_id);
  verdict("first page of the 100,000-file listing, median",
          medianOf(answerTimes(pages, {"GET", listing, {}, {}}, 20)), 200);
  std::printf("%-52s %8.1f ms\n", "last page of it, median",
              medianOf(answerTimes(pages, {"GET", listing, QUrlQuery(u"pagina=2000"_s), {}}, 5)));
  const WebRequest search{"GET", u"/buscar"_s, QUrlQuery(u"q=title4242"_s), {}};
  verdict("search page for one word, one thread, p95", percentile95(answerTimes(pages, search, 40)),
          50);
  std::vector<std::vector<double>> perThread(4);
  std::vector<std::thread> threads;
  for (std::vector<double>& times : perThread) {
    threads.emplace_back([&] { times = answerTimes(pages, search, 40); });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  std::vector<double> all;
  for (const std::vector<double>& times : perThread) {
    all.insert(all.end(), times.begin(), times.end());
  }
  verdict("search page for one word, four threads, p95", percentile95(all), 50);
  return missed ? 1 : 0;
}
