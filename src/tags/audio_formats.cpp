#include "tags/audio_formats.h"

#include <QtGlobal>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Without the dot; the longest is four letters.
constexpr std::array<const char*, 14> kOtherExtensions = {"flac", "ogg", "oga", "opus", "m4a",
                                                          "mp4",  "aac", "wma", "wav",  "aiff",
                                                          "aif",  "ape", "wv",  "mpc"};
constexpr qsizetype kLongestExtension = 4;

// The extension after the last dot, when it is short enough to be one of ours.
template <typename View>
qsizetype extensionStart(View name) {
  const qsizetype from = std::max<qsizetype>(1, name.size() - kLongestExtension - 1);
  for (qsizetype at = name.size() - 1; at >= from; --at) {
    if (name[at] == u'.') {
      return at + 1;
    }
  }
  return -1;
}

bool isOtherExtension(const char* extension, qsizetype length) {
  for (const char* known : kOtherExtensions) {
    if (static_cast<qsizetype>(qstrlen(known)) == length &&
        qstrnicmp(extension, known, length) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

QString audioFilesKey(AudioFiles files) {
  return files == AudioFiles::All ? u"all"_s : u"mp3"_s;
}

std::optional<AudioFiles> audioFilesFromKey(QStringView key) {
  if (key == u"mp3") {
    return AudioFiles::Mp3;
  }
  if (key == u"all") {
    return AudioFiles::All;
  }
  return std::nullopt;
}

bool hasMp3Extension(QByteArrayView name) {
  return name.size() > 4 && qstrnicmp(name.data() + name.size() - 4, ".mp3", 4) == 0;
}

bool hasOtherAudioExtension(QByteArrayView name) {
  const qsizetype start = extensionStart(name);
  return start > 0 && isOtherExtension(name.data() + start, name.size() - start);
}

bool hasOtherAudioExtension(QStringView name) {
  const qsizetype start = extensionStart(name);
  if (start <= 0) {
    return false;
  }
  const QByteArray extension = name.sliced(start).toLatin1();
  return isOtherExtension(extension.constData(), extension.size());
}

QString nameWithoutExtension(const QString& filename) {
  if (hasOtherAudioExtension(QStringView(filename))) {
    return filename.left(filename.lastIndexOf(u'.'));
  }
  return filename.left(std::max<qsizetype>(0, filename.size() - 4));
}
