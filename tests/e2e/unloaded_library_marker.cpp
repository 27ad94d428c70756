// Preloaded into the sanitizer build of the game by its end-to-end run: every library that a
// dlclose unloads leaves an inaccessible mapping of its file in the address range it held, so
// that LeakSanitizer's report at exit can still name the module of a frame inside it (and
// lsan.supp can match that name). The unloading itself, and what it frees, stay as they were.
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#define MARKER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct LoadedLibrary {
  std::string mPath;
  uintptr_t mStart = UINTPTR_MAX;
  uintptr_t mEnd = 0;
};

int noteLibrary(dl_phdr_info* ParaInfo, size_t, void* ParaList) {
  // The main program and the vDSO have no path; they are never unloaded.
  if (ParaInfo->dlpi_name == nullptr || ParaInfo->dlpi_name[0] != '/') {
    return 0;
  }
  LoadedLibrary library;
  library.mPath = ParaInfo->dlpi_name;
  for (int i = 0; i < ParaInfo->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = ParaInfo->dlpi_phdr[i];
    if (segment.p_type == PT_LOAD) {
      const uintptr_t start = ParaInfo->dlpi_addr + segment.p_vaddr;
      library.mStart = start < library.mStart ? start : library.mStart;
      const uintptr_t end = start + segment.p_memsz;
      library.mEnd = end > library.mEnd ? end : library.mEnd;
    }
  }
  static_cast<std::vector<LoadedLibrary>*>(ParaList)->push_back(library);
  return 0;
}

std::vector<LoadedLibrary> loadedLibraries() {
  std::vector<LoadedLibrary> list;
  dl_iterate_phdr(noteLibrary, &list);
  return list;
}

// PROT_NONE: nothing can read it (LeakSanitizer does not scan it for pointers, so what only the
// unloaded library referred to still counts as leaked), yet /proc/self/maps names the file.
void markRange(const LoadedLibrary& ParaLibrary) {
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = ParaLibrary.mStart & ~(page - 1);
  const uintptr_t end = (ParaLibrary.mEnd + page - 1) & ~(page - 1);
  const int file = open(ParaLibrary.mPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    return;
  }
  // NOREPLACE: whatever has been mapped there since keeps its place; then the name is lost.
  mmap(reinterpret_cast<void*>(start), end - start, PROT_NONE, MAP_PRIVATE | MAP_FIXED_NOREPLACE,
       file, 0);
  close(file);
}

} // namespace

MARKER_EXPORT int dlclose(void* ParaHandle) {
  using Close = int (*)(void*);
  static const auto next = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "dlclose"));
  // NOTE: not safe against another thread loading or unloading at the same moment; the game
  // unloads only while it shuts down, on its one thread.
  const std::vector<LoadedLibrary> before = loadedLibraries();
  const int result = next(ParaHandle);
  const std::vector<LoadedLibrary> after = loadedLibraries();
  for (const LoadedLibrary& library : before) {
    bool stillLoaded = false;
    for (const LoadedLibrary& remaining : after) {
      stillLoaded =
          stillLoaded || (remaining.mPath == library.mPath && remaining.mStart == library.mStart);
    }
    if (!stillLoaded) {
      markRange(library);
    }
  }
  return result;
}
