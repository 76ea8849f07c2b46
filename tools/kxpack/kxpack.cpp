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
#include "data/kxPackCheck.h"
#include "data/kxResource.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: kxpack list PACK\n"
    "       kxpack extract [--expand] PACK DIR [NAME...]\n"
    "       kxpack create [--crunch] PACK [NAME=]FILE...\n"
    "       kxpack verify PACK\n"
    "       kxpack --help | --version\n"
    "\n"
    "list     one line per entry: index, name, size, and the expanded size of\n"
    "         an entry that is a valid crunched block\n"
    "extract  writes the entries (all, or the named ones) into DIR, one file\n"
    "         per entry named after it; --expand writes crunched entries\n"
    "         expanded. Entries whose names are not plain file names are refused\n"
    "create   builds PACK from the files; the entry name is the file's base\n"
    "         name unless NAME= is given; --crunch stores each file crunched.\n"
    "         Names must be plain file names of at most 31 bytes\n"
    "verify   checks magic, CRC and table and prints a summary; names the\n"
    "         crunched entries that no longer expand when the CRC fails\n"
    "\n"
    "Options may stand anywhere; \"--\" ends them. Exit status: 0 done,\n"
    "1 failed, 2 usage error.\n";

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

std::string Describe(const kxPackCheck_s& check) {
  char text[160];
  kxDescribePackCheck(&check, text, sizeof text);
  return text;
}

// Reads PACK into `pack`; on failure prints the reason and returns false.
// A fault the reader tolerates is handed back in `check`.
bool LoadPack(const char* fileName, kxResource& pack, kxPackCheck_s* check = nullptr) {
  errno = 0;
  kxMemoryBlock* image = kxReadMemoryBlock(fileName);
  if (!image) {
    Fail(fileName, errno ? strerror(errno) : "cannot read file");
    return false;
  }
  kxPackCheck_s found;
  kxCheckPack(image, &found);
  const bool read = !kxPackFaultIsFatal(found.fault) && pack.ReadFromMemoryBlock(image);
  kxFreeMemoryBlock(image);
  if (!read) {
    Fail(fileName, found.fault == pfNone ? "out of memory" : Describe(found));
    return false;
  }
  if (check) *check = found;
  return true;
}

// Expanded copy of an entry that is a valid crunched block, else null.
kxMemoryBlock* Expanded(const kxMemoryBlock* entry) {
  return kxDecrunchMemoryBlock(entry);
}

// A crunched entry has a zlib header behind its size prefix: deflate, a
// window the format allows, and the header's own check. An entry that has
// one but does not expand was damaged after it was made.
bool LooksCrunched(const kxMemoryBlock* entry) {
  if (entry->size < 6) return false;
  const unsigned cmf = entry->data[4], flg = entry->data[5];
  return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (cmf * 256 + flg) % 31 == 0;
}

typedef std::vector<const char*> Args;

int List(const Args& args) {
  if (args.size() != 1) return UsageError("list takes exactly one PACK");
  kxResource pack;
  if (!LoadPack(args[0], pack)) return kExitFailure;
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

// The names extract writes as files in DIR, and so the names create takes.
bool PlainFileName(const char* name) {
  return name[0] && strcmp(name, ".") != 0 && strcmp(name, "..") != 0 && !strchr(name, '/');
}

int Extract(const Args& args, bool expand) {
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

int Create(const Args& args, bool crunch) {
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
    // A pack made here must extract again: the names extract refuses are
    // refused here too.
    if (name.empty()) return Fail(file, "empty entry name");
    if (!PlainFileName(name.c_str()))
      return Fail(file, "entry name \"" + Printable(name.c_str()) +
                            "\" is not a plain file name (no \"/\", \".\" or \"..\")");
    if (name.size() > kxResource::kMaxNameLength)
      return Fail(file, "entry name \"" + Printable(name.c_str()) + "\" is longer than 31 bytes");
    if (pack.ResourceExists(name.c_str()))
      return Fail(file, "entry name \"" + Printable(name.c_str()) + "\" is given twice");

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

// A pack whose CRC fails but whose table and sizes hold: the entries are
// read anyway, and those that were crunched but no longer expand are named.
int NameDamagedEntries(const char* packName, const kxPackCheck_s& check) {
  kxMemoryBlock* image = kxReadMemoryBlock(packName);
  kxResource pack;
  const bool read = image && pack.SalvageFromMemoryBlock(image);
  kxFreeMemoryBlock(image);
  std::string damaged;
  uint64_t named = 0;
  for (uint64_t i = 0; read && i < pack.Length(); ++i) {
    const kxMemoryBlock* entry = pack.Get(i);
    if (!LooksCrunched(entry)) continue;
    kxMemoryBlock* expanded = Expanded(entry);
    if (expanded) {
      kxFreeMemoryBlock(expanded);
      continue;
    }
    damaged += std::string(named++ ? ", " : "") + std::to_string(i) + " \"" +
               Printable(pack.GetName(i)) + "\"";
  }
  if (!named)
    return Fail(packName, Describe(check) +
                              "; the table is intact, and no crunched entry is damaged "
                              "(the damage lies in the header or in raw entry bytes)");
  return Fail(packName, Describe(check) + "; the table is intact; damaged entr" +
                            (named == 1 ? "y: " : "ies: ") + damaged);
}

int Verify(const Args& args) {
  if (args.size() != 1) return UsageError("verify takes exactly one PACK");
  const char* packName = args[0];
  errno = 0;
  kxMemoryBlock* image = kxReadMemoryBlock(packName);
  if (!image) return Fail(packName, errno ? strerror(errno) : "cannot read file");
  kxPackCheck_s check;
  kxCheckPack(image, &check);
  kxFreeMemoryBlock(image);
  if (check.fault == pfChecksum) return NameDamagedEntries(packName, check);
  if (check.fault != pfNone) return Fail(packName, Describe(check));
  kxResource pack;
  if (!LoadPack(packName, pack)) return kExitFailure;
  uint64_t crunched = 0;
  for (uint64_t i = 0; i < pack.Length(); ++i) {
    if (kxMemoryBlock* expanded = Expanded(pack.Get(i))) {
      ++crunched;
      kxFreeMemoryBlock(expanded);
    }
  }
  printf("%s: ok, %" PRIu64 " entries, %" PRIu64 " crunched\n", packName, pack.Length(), crunched);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Options may stand anywhere before "--"; everything after it is an
  // operand, so files named like options can still be given.
  bool help = false, version = false, expand = false, crunch = false, operandsOnly = false;
  Args operands;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (operandsOnly || arg == "-" || arg[0] != '-') {
      operands.push_back(argv[i]);
    } else if (arg == "--") {
      operandsOnly = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg == "--expand") {
      expand = true;
    } else if (arg == "--crunch") {
      crunch = true;
    } else {
      return UsageError("unknown option \"" + arg + "\"");
    }
  }
  if (help || (!operands.empty() && strcmp(operands[0], "help") == 0)) {
    fputs(kUsage, stdout);
    return 0;
  }
  if (version) {
    printf("kxpack %s\n", KXPACK_VERSION);
    return 0;
  }
  if (operands.empty()) {
    fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string command = operands[0];
  operands.erase(operands.begin());
  if (expand && command != "extract") return UsageError("--expand applies to extract only");
  if (crunch && command != "create") return UsageError("--crunch applies to create only");
  if (command == "list") return List(operands);
  if (command == "extract") return Extract(operands, expand);
  if (command == "create") return Create(operands, crunch);
  if (command == "verify") return Verify(operands);
  return UsageError("unknown command \"" + Printable(command.c_str()) + "\"");
}
