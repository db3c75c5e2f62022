// Every committed fuzz input, run through its target as an ordinary test, so what the fuzzer once
// found stays fixed in every build.

#include <QDir>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/test_env.h"

extern "C" int fuzz_tag_reader(const uint8_t* data, size_t size);
extern "C" int fuzz_renderer(const uint8_t* data, size_t size);
extern "C" int fuzz_ini_reader(const uint8_t* data, size_t size);
extern "C" int fuzz_volume_label(const uint8_t* data, size_t size);

using namespace Qt::StringLiterals;

namespace {

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

// A target that aborts takes the test process with it; the input's name goes out first.
QByteArray currentInput;

void reportInput(int signal) {
  std::fprintf(stderr, "fuzz input: %s\n", currentInput.constData());
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

int replayCorpus(const QString& target, FuzzEntry entry) {
  const QDir corpus(QStringLiteral(QUILLET_SOURCE_DIR "/tests/fuzz/corpus/") + target);
  std::signal(SIGABRT, reportInput);
  int count = 0;
  for (const QFileInfo& file : corpus.entryInfoList(QDir::Files, QDir::Name)) {
    currentInput = QFile::encodeName(file.filePath());
    const QByteArray bytes = readFile(file.filePath());
    EXPECT_EQ(entry(reinterpret_cast<const uint8_t*>(bytes.constData()),
                    static_cast<size_t>(bytes.size())),
              0);
    ++count;
  }
  std::signal(SIGABRT, SIG_DFL);
  return count;
}

}  // namespace

TEST(FuzzCorpus, TagReader) {
  EXPECT_GT(replayCorpus(u"tag_reader"_s, fuzz_tag_reader), 0);
}

TEST(FuzzCorpus, Renderer) {
  EXPECT_GT(replayCorpus(u"renderer"_s, fuzz_renderer), 0);
}

TEST(FuzzCorpus, IniReader) {
  EXPECT_GT(replayCorpus(u"ini_reader"_s, fuzz_ini_reader), 0);
}

TEST(FuzzCorpus, VolumeLabel) {
  EXPECT_GT(replayCorpus(u"volume_label"_s, fuzz_volume_label), 0);
}
