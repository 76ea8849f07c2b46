// Runs the built kxpack program on temporary files and checks its output,
// the files it writes and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "data/kxResource.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Args = std::vector<std::string>;

struct ToolRun {
  int status;
  std::string out, err;
};

template <typename T = std::string>
T Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  return T(text.begin(), text.end());
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes Sample(size_t n, uint8_t seed) {
  Bytes bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t((i * 7 + seed) % 251);
  return bytes;
}

class KxpackTest : public ::testing::Test {
 protected:
  KxpackTest()
      : dir(fs::temp_directory_path() / ("kxpackTest-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(dir);
  }
  ~KxpackTest() override { fs::remove_all(dir); }

  ToolRun Kxpack(const Args& args) {
    std::string command = KXPACK_PATH;  // no argument holds a single quote
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >'" + P("stdout.txt") + "' 2>'" + P("stderr.txt") + "'";
    const int raw = std::system(command.c_str());
    ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(P("stdout.txt")),
                Read(P("stderr.txt"))};
    fs::remove(P("stdout.txt"));
    fs::remove(P("stderr.txt"));
    return run;
  }

  std::string P(const char* name) const { return (dir / name).string(); }

  // A failed run: non-zero status, nothing on stdout, one stderr line naming `file`.
  ToolRun ExpectFailure(const Args& args, const std::string& file) {
    const ToolRun run = Kxpack(args);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    return run;
  }

  void MakePack(const char* file, const std::vector<std::pair<std::string, Bytes>>& entries) {
    kxResource pack;
    for (const auto& [name, bytes] : entries) {
      kxMemoryBlock block = {const_cast<uint8_t*>(bytes.data()), bytes.size()};
      pack.Append(&block, name.c_str());
    }
    ASSERT_TRUE(pack.WriteToFile(P(file).c_str()));
  }

  fs::path dir;
};

}  // namespace

TEST_F(KxpackTest, CreateListExtractRoundTrip) {
  WriteBytes(dir / "alpha.bin", Sample(3000, 1));
  WriteBytes(dir / "empty.txt", {});
  WriteBytes(dir / "beta.dat", Sample(10, 2));
  const ToolRun run =
      Kxpack({"create", P("p.kx"), P("alpha.bin"), P("empty.txt"), "renamed=" + P("beta.dat")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Kxpack({"list", P("p.kx")}).out,
            "0\talpha.bin\t3000\n1\tempty.txt\t0\n2\trenamed\t10\n");
  ASSERT_EQ(Kxpack({"extract", P("p.kx"), P("out")}).status, 0);
  EXPECT_EQ(Read<Bytes>(dir / "out" / "alpha.bin"), Sample(3000, 1));
  EXPECT_EQ(Read<Bytes>(dir / "out" / "renamed"), Sample(10, 2));
  EXPECT_EQ(fs::file_size(dir / "out" / "empty.txt"), 0u);
}

TEST_F(KxpackTest, CrunchedEntriesListVerifyAndExpand) {
  WriteBytes(dir / "text.txt", Sample(5000, 3));
  ASSERT_EQ(Kxpack({"create", "--crunch", P("c.kx"), P("text.txt")}).status, 0);
  kxResource created;
  ASSERT_TRUE(created.ReadFromFile(P("c.kx").c_str()));
  const kxMemoryBlock* crunched = created.Get("text.txt");
  const std::string size = std::to_string(crunched->size);
  MakePack("mixed.kx", {{"text.txt", Bytes(crunched->data, crunched->data + crunched->size)},
                        {"raw.bin", Sample(7, 4)}});
  EXPECT_EQ(Kxpack({"list", P("mixed.kx")}).out,
            "0\ttext.txt\t" + size + "\t5000\n1\traw.bin\t7\n");
  EXPECT_EQ(Kxpack({"verify", P("mixed.kx")}).out, P("mixed.kx") + ": ok, 2 entries, 1 crunched\n");
  ASSERT_EQ(Kxpack({"extract", "--expand", P("mixed.kx"), P("x")}).status, 0);
  EXPECT_EQ(Read<Bytes>(dir / "x" / "text.txt"), Sample(5000, 3));
  EXPECT_EQ(Read<Bytes>(dir / "x" / "raw.bin"), Sample(7, 4));
  ASSERT_EQ(Kxpack({"extract", P("mixed.kx"), P("y")}).status, 0);
  EXPECT_EQ(std::to_string(fs::file_size(dir / "y" / "text.txt")), size);
}

TEST_F(KxpackTest, ExtractNeverWritesOutsideDir) {
  for (const char* bad : {"../evil", "..", ".", "", "a/b", "/tmp/abs"}) {
    SCOPED_TRACE(bad);
    MakePack("bad.kx", {{"good", {1}}, {bad, {2, 3}}});
    // Refused as a whole; the plain entry can still be taken by name.
    ExpectFailure({"extract", P("bad.kx"), P("inside/deeper")}, P("bad.kx"));
    EXPECT_FALSE(fs::exists(dir / "inside" / "deeper" / "good")) << "wrote before refusing";
    EXPECT_FALSE(fs::exists(dir / "inside" / "evil"));
    EXPECT_FALSE(fs::exists(dir / "evil"));
    EXPECT_EQ(Kxpack({"extract", P("bad.kx"), P("named"), "good"}).status, 0);
    EXPECT_EQ(Read<Bytes>(dir / "named" / "good"), Bytes{1});
  }
  // A link placed in DIR under an entry's name is not followed.
  MakePack("link.kx", {{"target", {7, 7}}});
  fs::create_directories(dir / "linked");
  WriteBytes(dir / "outside.bin", {1});
  fs::create_symlink(dir / "outside.bin", dir / "linked" / "target");
  ExpectFailure({"extract", P("link.kx"), P("linked")}, "target");
  EXPECT_EQ(Read<Bytes>(dir / "outside.bin"), Bytes{1});
  // Two entries of one name would overwrite each other.
  MakePack("dup.kx", {{"same", {1}}, {"same", {2}}});
  ExpectFailure({"extract", P("dup.kx"), P("d")}, P("dup.kx"));
  ExpectFailure({"extract", P("dup.kx"), P("d"), "missing"}, "missing");
}

TEST_F(KxpackTest, DamagedPacksFailCleanly) {
  MakePack("good.kx", {{"a", Sample(100, 5)}, {"b", Sample(50, 6)}});
  const Bytes image = Read<Bytes>(dir / "good.kx");
  ASSERT_EQ(Kxpack({"verify", P("good.kx")}).status, 0);
  for (size_t i : {size_t(0), size_t(3), size_t(8), size_t(12), image.size() - 1}) {
    SCOPED_TRACE(i);
    Bytes changed = image;
    changed[i] ^= 0x10;
    WriteBytes(dir / "bad.kx", changed);
    for (const Args& args : {Args{"verify", P("bad.kx")}, Args{"list", P("bad.kx")},
                             Args{"extract", P("bad.kx"), P("never")}})
      ExpectFailure(args, P("bad.kx"));
    EXPECT_FALSE(fs::exists(dir / "never"));
  }
  WriteBytes(dir / "short.kx", Bytes(image.begin(), image.begin() + 5));
  ExpectFailure({"verify", P("short.kx")}, P("short.kx"));
  ExpectFailure({"verify", P("absent.kx")}, P("absent.kx"));
  // Stray bytes behind the last entry, under a CRC that covers them: the
  // reader accepts the pack, verify reports the fault.
  Bytes longer = image;
  longer.push_back(0xEE);
  memset(&longer[2], 0, 4);
  const uint32_t crc = kxCRC32(longer.data(), uint32_t(longer.size()));
  memcpy(&longer[2], &crc, 4);  // little-endian machine
  WriteBytes(dir / "stray.kx", longer);
  const ToolRun run = ExpectFailure({"verify", P("stray.kx")}, P("stray.kx"));
  EXPECT_NE(run.err.find("stray"), std::string::npos) << run.err;
}

TEST_F(KxpackTest, CreateErrorsLeaveNoPackAndKeepTheOldOne) {
  WriteBytes(dir / "ok.bin", {1, 2});
  WriteBytes(dir / "empty", {});
  ASSERT_EQ(Kxpack({"create", P("keep.kx"), P("ok.bin")}).status, 0);
  const Bytes before = Read<Bytes>(dir / "keep.kx");
  const std::vector<std::pair<Args, std::string>> cases = {
      {{P("ok.bin"), P("missing.bin")}, P("missing.bin")},
      {{std::string(32, 'L') + "=" + P("ok.bin")}, P("ok.bin")},
      {{P("ok.bin"), "ok.bin=" + P("empty")}, P("empty")},
      {{"=" + P("ok.bin")}, P("ok.bin")}};
  for (const char* pack : {"n.kx", "keep.kx"}) {
    for (const auto& [files, named] : cases) {
      Args args = {"create", P(pack)};
      args.insert(args.end(), files.begin(), files.end());
      ExpectFailure(args, named);
    }
  }
  ExpectFailure({"create", P("n.kx"), P("empty")}, P("n.kx"));
  EXPECT_FALSE(fs::exists(dir / "n.kx"));
  EXPECT_EQ(Read<Bytes>(dir / "keep.kx"), before);
  ExpectFailure({"create", P("nodir/x.kx"), P("ok.bin")}, P("nodir/x.kx"));
}

TEST_F(KxpackTest, UsageAndHelp) {
  const ToolRun help = Kxpack({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("kxpack create"), std::string::npos);
  const ToolRun none = Kxpack({});
  EXPECT_NE(none.status, 0);
  EXPECT_NE(none.err.find("usage"), std::string::npos);
  EXPECT_EQ(none.status, 2);
  for (const Args& bad :
       {Args{"frobnicate"}, Args{"list"}, Args{"list", "a", "b"}, Args{"extract", "p"},
        Args{"create", "p"}, Args{"verify"}, Args{"--bogus", "list", "p"},
        Args{"list", "--crunch", "p"}, Args{"create", "--expand", "p", "f"}}) {
    SCOPED_TRACE(bad[0]);
    EXPECT_EQ(ExpectFailure(bad, "kxpack").status, 2) << "a usage error";
  }
  // --help wins wherever it stands, unless "--" made it an operand.
  for (const Args& asked : {Args{"list", "--help"}, Args{"create", "x.kx", "--help", "y"},
                            Args{"-h", "verify"}, Args{"help"}}) {
    const ToolRun run = Kxpack(asked);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("kxpack create"), std::string::npos);
    EXPECT_EQ(run.err, "");
  }
  ExpectFailure({"list", "--", "--help"}, "--help");
  const ToolRun version = Kxpack({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("kxpack [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.out;
}

TEST_F(KxpackTest, DoubleDashLetsOperandsLookLikeOptions) {
  WriteBytes(dir / "ok.bin", {5, 6});
  ASSERT_EQ(Kxpack({"create", "--crunch", P("d.kx"), "--", "-dash=" + P("ok.bin")}).status, 0);
  const ToolRun run = Kxpack({"list", "--", P("d.kx")});
  EXPECT_EQ(run.out.substr(0, 8), "0\t-dash\t");
  ASSERT_EQ(Kxpack({"extract", P("d.kx"), P("x"), "--expand", "--", "-dash"}).status, 0);
  EXPECT_EQ(Read<Bytes>(dir / "x" / "-dash"), (Bytes{5, 6}));
}

TEST_F(KxpackTest, CreateRefusesEveryNameExtractWouldRefuse) {
  WriteBytes(dir / "ok.bin", {1});
  fs::create_directories(dir / "sub");
  for (const std::string& bad : {std::string("a/b"), std::string(".."), std::string("."),
                                 std::string("/abs"), std::string("")}) {
    SCOPED_TRACE(bad);
    const ToolRun run = ExpectFailure({"create", P("n.kx"), bad + "=" + P("ok.bin")}, P("ok.bin"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(bad.empty() ? "empty entry name" : "not a plain file name"),
              std::string::npos)
        << run.err;
  }
  // A path ending in "/" leaves no base name to take.
  ExpectFailure({"create", P("n.kx"), P("sub") + "/"}, "empty entry name");
  EXPECT_FALSE(fs::exists(dir / "n.kx"));
}

TEST_F(KxpackTest, TruncatedPacksAreCalledTruncated) {
  WriteBytes(dir / "big.bin", Sample(400, 7));
  ASSERT_EQ(Kxpack({"create", "--crunch", P("t.kx"), P("big.bin")}).status, 0);
  const Bytes image = Read<Bytes>(dir / "t.kx");
  const size_t tableEnd = 10 + (image[6] | image[7] << 8);
  // Cut inside the header, inside the table, inside the entries.
  for (size_t length :
       {size_t(4), size_t(9), size_t(12), tableEnd - 1, tableEnd + 3, image.size() - 1}) {
    SCOPED_TRACE(length);
    WriteBytes(dir / "cut.kx", Bytes(image.begin(), image.begin() + length));
    for (const char* command : {"verify", "list"}) {
      const ToolRun run = ExpectFailure({command, P("cut.kx")}, P("cut.kx"));
      EXPECT_NE(run.err.find("truncated"), std::string::npos) << run.err;
    }
  }
}

TEST_F(KxpackTest, VerifyNamesTheDamagedEntriesWhenTheTableIsIntact) {
  for (const char* name : {"one", "two", "three"}) WriteBytes(dir / name, Sample(3000, name[1]));
  WriteBytes(dir / "raw", Sample(64, 9));
  ASSERT_EQ(Kxpack({"create", "--crunch", P("c.kx"), P("one"), P("two"), P("three")}).status, 0);
  kxResource crunched;
  ASSERT_TRUE(crunched.ReadFromFile(P("c.kx").c_str()));
  std::vector<std::pair<std::string, Bytes>> entries;
  for (uint64_t i = 0; i < crunched.Length(); ++i) {
    const kxMemoryBlock* e = crunched.Get(i);
    entries.push_back({crunched.GetName(i), Bytes(e->data, e->data + e->size)});
  }
  entries.push_back({"raw", Sample(64, 9)});
  MakePack("v.kx", entries);
  const Bytes image = Read<Bytes>(dir / "v.kx");
  // Offsets of the entries' middles, counted from the end of the image.
  std::vector<size_t> middle;
  size_t end = image.size();
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    middle.insert(middle.begin(), end - e->second.size() / 2);
    end -= e->second.size();
  }
  auto damaged = [&](std::initializer_list<size_t> which) {
    Bytes changed = image;
    for (size_t w : which) changed[middle[w]] ^= 0x5A;
    WriteBytes(dir / "d.kx", changed);
    return ExpectFailure({"verify", P("d.kx")}, P("d.kx")).err;
  };
  std::string err = damaged({1});
  EXPECT_NE(err.find("CRC mismatch"), std::string::npos) << err;
  EXPECT_NE(err.find("damaged entry: 1 \"two\""), std::string::npos) << err;
  EXPECT_EQ(err.find("\"one\""), std::string::npos) << err;
  err = damaged({0, 2});
  EXPECT_NE(err.find("damaged entries: 0 \"one\", 2 \"three\""), std::string::npos) << err;
  err = damaged({3});
  EXPECT_NE(err.find("no crunched entry is damaged"), std::string::npos) << err;
}
