// The reference for the ID3v2 scan benchmark: a plain TagLib walk that reads the ID3v2 tag of
// every *.mp3 below a directory and writes one line per tagged file.
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool isMp3(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".mp3";
}

void printTag(const std::filesystem::path& path) {
  TagLib::MPEG::File file(path.c_str(), false);
  const TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
  if (tag == nullptr) {
    return;
  }
  std::printf("%s|%s|%s|%u|%s|%u|%s\n", tag->title().toCString(true), tag->artist().toCString(true),
              tag->album().toCString(true), tag->year(), tag->comment().toCString(true),
              tag->track(), tag->genre().toCString(true));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Uso: taglib_walk DIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  std::error_code error;
  for (fs::recursive_directory_iterator it(argv[1], error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error) && isMp3(it->path())) {
      printTag(it->path());
    }
  }
  return error ? 1 : 0;
}
