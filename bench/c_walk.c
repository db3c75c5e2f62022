/* The floor of the whole-collection scan benchmark: the least a walk can do to read the same
 * tags. Depth first, entries sorted (case-insensitive, then byte order), hidden names skipped;
 * every directory read with readdir, every entry lstat'ed, every *.mp3 opened and its last 128
 * bytes read with pread. Prints the number of tags read. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

static long tags;

static int byName(const void* a, const void* b) {
  const char* x = *(const char* const*)a;
  const char* y = *(const char* const*)b;
  const int folded = strcasecmp(x, y);
  return folded != 0 ? folded : strcmp(x, y);
}

static int isMp3(const char* name) {
  const size_t length = strlen(name);
  return length > 4 && strcasecmp(name + length - 4, ".mp3") == 0;
}

static void readTag(const char* path, off_t size) {
  char tag[128];
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return;
  }
  if (size >= 128 && pread(fd, tag, sizeof tag, size - 128) == 128 && memcmp(tag, "TAG", 3) == 0) {
    ++tags;
  }
  close(fd);
}

static void walk(const char* dir) {
  DIR* stream = opendir(dir);
  if (!stream) {
    return;
  }
  size_t count = 0, capacity = 64;
  char** names = malloc(capacity * sizeof *names);
  for (struct dirent* entry; (entry = readdir(stream)) != NULL;) {
    if (entry->d_name[0] == '.') {
      continue;
    }
    if (count == capacity) {
      capacity *= 2;
      names = realloc(names, capacity * sizeof *names);
    }
    names[count++] = strdup(entry->d_name);
  }
  closedir(stream);
  qsort(names, count, sizeof *names, byName);
  char path[4096];
  for (size_t i = 0; i < count; ++i) {
    snprintf(path, sizeof path, "%s/%s", dir, names[i]);
    struct stat info;
    if (lstat(path, &info) == 0) {
      if (S_ISDIR(info.st_mode)) {
        walk(path);
      } else if (S_ISREG(info.st_mode) && isMp3(names[i])) {
        readTag(path, info.st_size);
      }
    }
    free(names[i]);
  }
  free(names);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "Uso: c_walk DIR\n");
    return 2;
  }
  walk(argv[1]);
  printf("%ld\n", tags);
  return 0;
}
