// The reference for the audio-formats benchmark: a plain TagLib FileRef walk that reads the
// tags of every audio file below a directory (the extensions "Todo el audio" lists) and writes
// one line per file; with --properties it reads the audio properties too.
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

bool isAudio(const std::filesystem::path& path) {
  static const std::array<const char*, 15> kExtensions = {".mp3",  ".flac", ".ogg", ".oga", ".opus",
                                                          ".m4a",  ".mp4",  ".aac", ".wma", ".wav",
                                                          ".aiff", ".aif",  ".ape", ".wv",  ".mpc"};
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::any_of(kExtensions.begin(), kExtensions.end(),
                     [&](const char* known) { return extension == known; });
}

void printFile(const std::filesystem::path& path, bool properties) {
  const TagLib::FileRef file(path.c_str(), properties, TagLib::AudioProperties::Average);
  if (file.isNull() || file.tag() == nullptr) {
    return;
  }
  const TagLib::Tag* tag = file.tag();
  std::printf("%s|%s|%s|%u|%s|%u|%s", tag->title().toCString(true), tag->artist().toCString(true),
              tag->album().toCString(true), tag->year(), tag->comment().toCString(true),
              tag->track(), tag->genre().toCString(true));
  if (properties && file.audioProperties() != nullptr) {
    const TagLib::AudioProperties* audio = file.audioProperties();
    std::printf("|%d|%d|%d|%d", audio->lengthInMilliseconds(), audio->bitrate(),
                audio->sampleRate(), audio->channels());
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const bool properties = argc == 3 && std::strcmp(argv[1], "--properties") == 0;
  if (argc != 2 && !properties) {
    std::fprintf(stderr, "Uso: audio_walk [--properties] DIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  std::error_code error;
  for (fs::recursive_directory_iterator it(argv[argc - 1], error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error) && isAudio(it->path())) {
      printFile(it->path(), properties);
    }
  }
  return error ? 1 : 0;
}
