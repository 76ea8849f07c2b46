// kxpack: command-line front end of kxResource for building and inspecting
// resource packs. Every failure is reported as one line on stderr naming the
// file and the problem, with a non-zero exit status.
#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: kxpack list PACK\n"
    "       kxpack extract [--expand] PACK DIR [NAME...]\n"
    "       kxpack create [--crunch] PACK [NAME=]FILE...\n"
    "       kxpack verify PACK\n"
    "       kxpack --help\n"
    "\n"
    "list     one line per entry: index, name, size, and the expanded size of\n"
    "         an entry that is a valid crunched block\n"
    "extract  writes the entries (all, or the named ones) into DIR, one file\n"
    "         per entry named after it; --expand writes crunched entries\n"
    "         expanded. Entries whose names are not plain file names are refused\n"
    "create   builds PACK from the files; the entry name is the file's base\n"
    "         name unless NAME= is given; --crunch stores each file crunched\n"
    "verify   checks magic, CRC and table and prints a summary\n";

int Fail(const std::string& file, const std::string& problem) {
  fprintf(stderr, "kxpack: %s: %s\n", file.c_str(), problem.c_str());
  return kExitFailure;
}

int UsageError(const std::string& problem) {
  fprintf(stderr, "kxpack: %s (see kxpack --help)\n", problem.c_str());
  return kExitUsage;
}

// Names come from the pack and may hold any byte; show them printable.
std::string Printable(const char* name) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    if (*p >= 0x20 && *p < 0x7F && *p != '\\') {
      out += char(*p);
    } else {
      char escaped[8];
      snprintf(escaped, sizeof(escaped), "\\x%02X", *p);
      out += escaped;
    }
  }
  return out;
}

uint32_t Load32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Names the first fault of a pack image, or returns an empty string for a
// sound one. Stricter than the reader: a table length that is not whole
// records and bytes after the last entry are faults here too.
std::string DiagnosePack(const kxMemoryBlock* image) {
  const uint64_t size = image->size;
  if (size < kxResource::kHeaderSize)
    return "too short to be a pack (" + std::to_string(size) + " bytes)";
  const uint8_t* in = image->data;
  if (in[0] != 'k' || in[1] != 'x') return "not a pack (bad magic)";
  if (size > 0xFFFFFFFFull) return "too large to be a pack (4 GiB or more)";

  kxMemoryBlock* zeroed = kxCopyMemoryBlock(image);
  if (!zeroed) return "out of memory";
  memset(zeroed->data + 2, 0, 4);
  const uint32_t computed = kxMemoryBlockCRC32(zeroed);
  kxFreeMemoryBlock(zeroed);
  const uint32_t stored = Load32(in + 2);
  if (computed != stored) {
    char text[96];
    snprintf(text, sizeof(text), "CRC mismatch (stored %08" PRIX32 ", computed %08" PRIX32 ")",
             stored, computed);
    return text;
  }

  const uint64_t tableLength = Load32(in + 6);
  if (tableLength > size - kxResource::kHeaderSize) return "entry table runs past the end";
  kxMemoryBlock crunched = {const_cast<uint8_t*>(in + kxResource::kHeaderSize), tableLength};
  kxMemoryBlock* table = kxDecrunchMemoryBlock(&crunched);
  if (!table) return "entry table is not a valid crunched block";
  const uint64_t records = table->size / kxResource::kRecordSize;
  const bool whole = table->size % kxResource::kRecordSize == 0;
  uint64_t total = 0;
  for (uint64_t i = 0; i < records; ++i)
    total += Load32(table->data + i * kxResource::kRecordSize + kxResource::kNameFieldSize);
  const uint64_t tableSize = table->size;
  kxFreeMemoryBlock(table);
  if (!whole) return "entry table length " + std::to_string(tableSize) + " is not a multiple of 36";
  const uint64_t available = size - kxResource::kHeaderSize - tableLength;
  if (total > available)
    return "entries run past the end (" + std::to_string(total) + " bytes listed, " +
           std::to_string(available) + " present)";
  if (total < available)
    return std::to_string(available - total) + " stray bytes after the last entry";
  return "";
}

// Reads PACK into `pack`; on failure prints the reason and returns false.
bool LoadPack(const char* fileName, kxResource& pack, std::string* fault = nullptr) {
  errno = 0;
  kxMemoryBlock* image = kxReadMemoryBlock(fileName);
  if (!image) {
    Fail(fileName, errno ? strerror(errno) : "cannot read file");
    return false;
  }
  const bool read = pack.ReadFromMemoryBlock(image);
  std::string problem = DiagnosePack(image);
  kxFreeMemoryBlock(image);
  if (!read) {
    Fail(fileName, problem.empty() ? "not a valid pack" : problem);
    return false;
  }
  if (fault) *fault = problem;
  return true;
}

// Expanded copy of an entry that is a valid crunched block, else null.
kxMemoryBlock* Expanded(const kxMemoryBlock* entry) {
  return kxDecrunchMemoryBlock(entry);
}

int List(int argc, char** argv) {
  if (argc != 1) return UsageError("list takes exactly one PACK");
  kxResource pack;
  if (!LoadPack(argv[0], pack)) return kExitFailure;
  for (uint64_t i = 0; i < pack.Length(); ++i) {
    const kxMemoryBlock* entry = pack.Get(i);
    printf("%" PRIu64 "\t%s\t%" PRIu64, i, Printable(pack.GetName(i)).c_str(), entry->size);
    if (kxMemoryBlock* expanded = Expanded(entry)) {
      printf("\t%" PRIu64, expanded->size);
      kxFreeMemoryBlock(expanded);
    }
    printf("\n");
  }
  return 0;
}

bool PlainFileName(const char* name) {
  return name[0] && strcmp(name, ".") != 0 && strcmp(name, "..") != 0 && !strchr(name, '/');
}

int Extract(int argc, char** argv) {
  bool expand = false;
  std::vector<const char*> args;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--expand") == 0)
      expand = true;
    else
      args.push_back(argv[i]);
  }
  if (args.size() < 2) return UsageError("extract needs PACK and DIR");
  const char* packName = args[0];
  const std::string dir = args[1];
  kxResource pack;
  if (!LoadPack(packName, pack)) return kExitFailure;

  // Choose and check every entry before the first file is written.
  std::vector<uint64_t> chosen;
  if (args.size() == 2) {
    for (uint64_t i = 0; i < pack.Length(); ++i) chosen.push_back(i);
  } else {
    for (size_t a = 2; a < args.size(); ++a) {
      uint64_t i = 0;
      while (i < pack.Length() && strcmp(pack.GetName(i), args[a]) != 0) ++i;
      if (i == pack.Length())
        return Fail(packName, "no entry named \"" + Printable(args[a]) + "\"");
      chosen.push_back(i);
    }
  }
  for (size_t c = 0; c < chosen.size(); ++c) {
    const char* name = pack.GetName(chosen[c]);
    if (!PlainFileName(name))
      return Fail(packName, "entry " + std::to_string(chosen[c]) + " \"" + Printable(name) +
                                "\" is not a plain file name; refusing to extract it");
    for (size_t d = 0; d < c; ++d)
      if (chosen[d] != chosen[c] && strcmp(pack.GetName(chosen[d]), name) == 0)
        return Fail(packName, "entry name \"" + Printable(name) +
                                  "\" appears more than once; extract would overwrite it");
  }

  struct stat info;
  if (stat(dir.c_str(), &info) != 0) {
    if (mkdir(dir.c_str(), 0777) != 0) return Fail(dir, strerror(errno));
  } else if (!S_ISDIR(info.st_mode)) {
    return Fail(dir, "not a directory");
  }

  for (uint64_t index : chosen) {
    const std::string path = dir + "/" + pack.GetName(index);
    // Never follow a link that would lead the write out of DIR.
    if (lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
      return Fail(path, "exists and is not a regular file; refusing to overwrite it");
    const kxMemoryBlock* entry = pack.Get(index);
    kxMemoryBlock* expanded = expand ? Expanded(entry) : nullptr;
    const bool written = kxWriteMemoryBlock(path.c_str(), expanded ? expanded : entry);
    kxFreeMemoryBlock(expanded);
    if (!written) return Fail(path, "cannot write file");
  }
  return 0;
}

int Create(int argc, char** argv) {
  bool crunch = false;
  std::vector<const char*> args;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--crunch") == 0)
      crunch = true;
    else
      args.push_back(argv[i]);
  }
  if (args.size() < 2) return UsageError("create needs PACK and at least one FILE");
  const std::string packName = args[0];

  kxResource pack;
  for (size_t a = 1; a < args.size(); ++a) {
    const std::string arg = args[a];
    std::string name, file;
    const size_t equals = arg.find('=');
    if (equals != std::string::npos) {
      name = arg.substr(0, equals);
      file = arg.substr(equals + 1);
    } else {
      file = arg;
      const size_t slash = file.find_last_of('/');
      name = slash == std::string::npos ? file : file.substr(slash + 1);
    }
    if (name.empty()) return Fail(file, "empty entry name");
    if (name.size() > kxResource::kMaxNameLength)
      return Fail(file, "entry name \"" + name + "\" is longer than 31 bytes");
    if (pack.ResourceExists(name.c_str()))
      return Fail(file, "entry name \"" + name + "\" is given twice");

    errno = 0;
    kxMemoryBlock* bytes = kxReadMemoryBlock(file.c_str());
    if (!bytes) return Fail(file, errno ? strerror(errno) : "cannot read file");
    if (bytes->size > 0xFFFFFFFFull) {
      kxFreeMemoryBlock(bytes);
      return Fail(file, "4 GiB or larger; a pack entry cannot hold it");
    }
    kxMemoryBlock* stored = crunch ? kxCrunchMemoryBlock(bytes) : bytes;
    if (crunch) kxFreeMemoryBlock(bytes);
    if (!stored) return Fail(file, "cannot crunch file");
    const uint64_t index = pack.Append(stored, name.c_str());
    kxFreeMemoryBlock(stored);
    if (index == UINT64_MAX) return Fail(file, "out of memory");
  }

  kxMemoryBlock* image = pack.WriteToMemoryBlock();
  if (!image)
    return Fail(packName, "nothing to store (every file is empty) or the pack would reach 4 GiB");
  // Write beside the target and rename, so a failed write never destroys an
  // existing pack.
  const std::string temporary = packName + ".kxpack-tmp";
  const bool written = kxWriteMemoryBlock(temporary.c_str(), image);
  kxFreeMemoryBlock(image);
  if (!written) {
    remove(temporary.c_str());
    return Fail(packName, "cannot write file");
  }
  if (rename(temporary.c_str(), packName.c_str()) != 0) {
    const int error = errno;
    remove(temporary.c_str());
    return Fail(packName, strerror(error));
  }
  return 0;
}

int Verify(int argc, char** argv) {
  if (argc != 1) return UsageError("verify takes exactly one PACK");
  kxResource pack;
  std::string fault;
  if (!LoadPack(argv[0], pack, &fault)) return kExitFailure;
  if (!fault.empty()) return Fail(argv[0], fault);
  uint64_t crunched = 0;
  for (uint64_t i = 0; i < pack.Length(); ++i) {
    if (kxMemoryBlock* expanded = Expanded(pack.Get(i))) {
      ++crunched;
      kxFreeMemoryBlock(expanded);
    }
  }
  printf("%s: ok, %" PRIu64 " entries, %" PRIu64 " crunched\n", argv[0], pack.Length(), crunched);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    fputs(kUsage, stdout);
    return 0;
  }
  if (command == "list") return List(argc - 2, argv + 2);
  if (command == "extract") return Extract(argc - 2, argv + 2);
  if (command == "create") return Create(argc - 2, argv + 2);
  if (command == "verify") return Verify(argc - 2, argv + 2);
  return UsageError("unknown command \"" + command + "\"");
}
