// Holds src/ to its layers: reads every #include "folder/file" of the tree and names each one
// that points up, or from a window to a window of another folder. The order of the layers is
// the one src/layers.txt declares.
//
//   layer_check SRC_DIR [LAYERS_FILE]
//
// Exit status 0 when every include keeps to the layers, 1 when any does not (one line each on
// standard output), 2 when the tree or the layers cannot be read.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// The folder names of the layers file, bottom first, with their rank.
QHash<QString, int> readLayers(const QString& path) {
  QFile file(path);
  QHash<QString, int> ranks;
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return ranks;
  }
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (!line.isEmpty() && !line.startsWith(u'#')) {
      ranks.insert(line.section(u' ', 0, 0), static_cast<int>(ranks.size()));
    }
  }
  return ranks;
}

bool isWindow(QStringView fileName) {
  return fileName.startsWith(u"frm_") || fileName.startsWith(u"form2") ||
         fileName.startsWith(u"gui_");
}

struct Include {
  QString folder;
  QString name;
};

QList<Include> includesOf(const QString& path) {
  static const QRegularExpression pattern(uR"re(^\s*#\s*include\s+"([a-z_0-9]+)/([^"]+)")re"_s,
                                          QRegularExpression::MultilineOption);
  QFile file(path);
  QList<Include> found;
  if (file.open(QIODevice::ReadOnly)) {
    const QString text = QString::fromUtf8(file.readAll());
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text)) {
      found.append({match.captured(1), match.captured(2).section(u'/', -1)});
    }
  }
  return found;
}

class LayerCheck {
 public:
  explicit LayerCheck(QHash<QString, int> ranks) : ranks_(std::move(ranks)) {}

  // What is wrong with one include of file, a path relative to src/; empty when nothing.
  QString problem(const QString& file, const Include& include) const {
    const QString folder = file.section(u'/', 0, 0);
    const QString name = file.section(u'/', -1);
    if (!file.contains(u'/')) {
      return {};  // main.cpp stands on top of every layer
    }
    if (!ranks_.contains(folder)) {
      return u"the folder %1 is not in the layers"_s.arg(folder);
    }
    if (!ranks_.contains(include.folder)) {
      return u"the folder %1 is not in the layers"_s.arg(include.folder);
    }
    if (!isWindow(name)) {
      if (isWindow(include.name)) {
        return u"a core file includes a window"_s;
      }
      if (ranks_.value(include.folder) > ranks_.value(folder)) {
        return u"%1 is below %2"_s.arg(folder, include.folder);
      }
      return {};
    }
    const bool ownOrKit = include.folder == folder || include.folder == u"platform"_s;
    if (folder != kShell && isWindow(include.name) && !ownOrKit) {
      return u"a window of %1 includes a window of %2: only the shell, %3, knows every window"_s
          .arg(folder, include.folder, kShell);
    }
    return {};
  }

 private:
  static inline const QString kShell = u"app"_s;
  QHash<QString, int> ranks_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("uso: layer_check SRC_DIR [LAYERS_FILE]\n", stderr);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString layersFile = argc == 3 ? QString::fromLocal8Bit(argv[2]) : root + u"/layers.txt"_s;
  const QHash<QString, int> ranks = readLayers(layersFile);
  if (ranks.isEmpty()) {
    std::fprintf(stderr, "layer_check: no layers in %s\n", qPrintable(layersFile));
    return 2;
  }
  const LayerCheck check(ranks);
  QStringList files;
  QDirIterator it(root, {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    files.append(it.next().mid(root.size() + 1));
  }
  files.sort();
  int problems = 0;
  for (const QString& file : std::as_const(files)) {
    for (const Include& include : includesOf(root + u'/' + file)) {
      if (const QString why = check.problem(file, include); !why.isEmpty()) {
        std::printf("%s: #include \"%s/%s\": %s\n", qPrintable(file), qPrintable(include.folder),
                    qPrintable(include.name), qPrintable(why));
        ++problems;
      }
    }
  }
  if (files.isEmpty()) {
    std::fprintf(stderr, "layer_check: no source files under %s\n", qPrintable(root));
    return 2;
  }
  std::printf("%d files, %d includes out of their layers\n", static_cast<int>(files.size()),
              problems);
  return problems == 0 ? 0 : 1;
}
