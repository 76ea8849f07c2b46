// Runs the built kxpack program on temporary files and checks its output,
// the files it writes and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Bytes ReadBytes(const fs::path& file) {
  const std::string text = ReadText(file);
  return Bytes(text.begin(), text.end());
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class KxpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kxpackTest-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  ToolRun Kxpack(const std::vector<std::string>& args) {
    std::string command = Quote(KXPACK_PATH);
    for (const std::string& a : args) command += " " + Quote(a);
    const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    const int raw = std::system(command.c_str());
    ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
  }

  std::string P(const char* name) const { return (dir / name).string(); }

  // A failed run: non-zero status, nothing on stdout, one stderr line that
  // names `file`.
  void ExpectFailure(const ToolRun& run, const std::string& file) {
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
  }

  // Writes a pack made by the library with the given entries.
  void MakePack(const fs::path& file, const std::vector<std::pair<std::string, Bytes>>& entries) {
    kxResource pack;
    for (const auto& [name, bytes] : entries) {
      kxMemoryBlock block = {const_cast<uint8_t*>(bytes.data()), bytes.size()};
      pack.Append(&block, name.c_str());
    }
    ASSERT_TRUE(pack.WriteToFile(file.c_str()));
  }

  fs::path dir;
};

Bytes Sample(size_t n, uint8_t seed) {
  Bytes bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t((i * 7 + seed) % 251);
  return bytes;
}

}  // namespace

TEST_F(KxpackTest, CreateListExtractRoundTrip) {
  WriteBytes(dir / "alpha.bin", Sample(3000, 1));
  WriteBytes(dir / "empty.txt", {});
  fs::create_directories(dir / "sub");
  WriteBytes(dir / "sub" / "beta.dat", Sample(10, 2));

  ToolRun run =
      Kxpack({"create", P("p.kx"), P("alpha.bin"), P("empty.txt"), "renamed=" + P("sub/beta.dat")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  kxResource pack;
  ASSERT_TRUE(pack.ReadFromFile(P("p.kx").c_str()));
  ASSERT_EQ(pack.Length(), 3u);
  EXPECT_STREQ(pack.GetName(0), "alpha.bin");
  EXPECT_STREQ(pack.GetName(1), "empty.txt");
  EXPECT_STREQ(pack.GetName(2), "renamed");

  run = Kxpack({"list", P("p.kx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "0\talpha.bin\t3000\n1\tempty.txt\t0\n2\trenamed\t10\n");

  run = Kxpack({"extract", P("p.kx"), P("out")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(dir / "out" / "alpha.bin"), Sample(3000, 1));
  EXPECT_TRUE(fs::exists(dir / "out" / "empty.txt"));
  EXPECT_EQ(fs::file_size(dir / "out" / "empty.txt"), 0u);
  EXPECT_EQ(ReadBytes(dir / "out" / "renamed"), Sample(10, 2));

  run = Kxpack({"extract", P("p.kx"), P("only"), "renamed"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(dir / "only" / "renamed"));
  EXPECT_FALSE(fs::exists(dir / "only" / "alpha.bin"));
}

TEST_F(KxpackTest, CrunchedEntriesListAndExpand) {
  WriteBytes(dir / "text.txt", Sample(5000, 3));
  WriteBytes(dir / "raw.bin", Sample(7, 4));
  ASSERT_EQ(Kxpack({"create", "--crunch", P("c.kx"), P("text.txt")}).status, 0);

  kxResource pack;
  ASSERT_TRUE(pack.ReadFromFile(P("c.kx").c_str()));
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(pack.Get("text.txt"));
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(Bytes(expanded->data, expanded->data + expanded->size), Sample(5000, 3));
  kxFreeMemoryBlock(expanded);

  // A pack mixing a crunched and a plain entry.
  kxMemoryBlock* crunched = kxCopyMemoryBlock(pack.Get("text.txt"));
  const std::string crunchedSize = std::to_string(crunched->size);
  MakePack(dir / "mixed.kx", {{"text.txt", Bytes(crunched->data, crunched->data + crunched->size)},
                              {"raw.bin", Sample(7, 4)}});
  kxFreeMemoryBlock(crunched);

  ToolRun run = Kxpack({"list", P("mixed.kx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "0\ttext.txt\t" + crunchedSize + "\t5000\n1\traw.bin\t7\n");

  run = Kxpack({"verify", P("mixed.kx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, P("mixed.kx") + ": ok, 2 entries, 1 crunched\n");

  run = Kxpack({"extract", "--expand", P("mixed.kx"), P("x")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(dir / "x" / "text.txt"), Sample(5000, 3));
  EXPECT_EQ(ReadBytes(dir / "x" / "raw.bin"), Sample(7, 4));

  run = Kxpack({"extract", P("mixed.kx"), P("y")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(fs::file_size(dir / "y" / "text.txt"), std::stoull(crunchedSize));
}

TEST_F(KxpackTest, ExtractNeverWritesOutsideDir) {
  for (const char* bad : {"../evil", "..", ".", "", "a/b", "/tmp/abs"}) {
    SCOPED_TRACE(bad);
    MakePack(dir / "bad.kx", {{"good", {1}}, {bad, {2, 3}}});
    ToolRun run = Kxpack({"extract", P("bad.kx"), P("inside/deeper")});
    ExpectFailure(run, P("bad.kx"));
    EXPECT_FALSE(fs::exists(dir / "inside" / "deeper" / "good")) << "wrote before refusing";
    EXPECT_FALSE(fs::exists(dir / "inside" / "evil"));
    EXPECT_FALSE(fs::exists(dir / "evil"));
    // The plain entry can still be taken by name.
    run = Kxpack({"extract", P("bad.kx"), P("named"), "good"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir / "named" / "good"), Bytes{1});
  }

  // A link placed in DIR under an entry's name is not followed.
  MakePack(dir / "link.kx", {{"target", {7, 7}}});
  fs::create_directories(dir / "linked");
  WriteBytes(dir / "outside.bin", {1});
  fs::create_symlink(dir / "outside.bin", dir / "linked" / "target");
  ExpectFailure(Kxpack({"extract", P("link.kx"), P("linked")}), "target");
  EXPECT_EQ(ReadBytes(dir / "outside.bin"), Bytes{1});

  // Two entries of one name would overwrite each other.
  MakePack(dir / "dup.kx", {{"same", {1}}, {"same", {2}}});
  ExpectFailure(Kxpack({"extract", P("dup.kx"), P("d")}), P("dup.kx"));
  ExpectFailure(Kxpack({"extract", P("dup.kx"), P("d"), "missing"}), "missing");
}

TEST_F(KxpackTest, DamagedPacksFailCleanly) {
  MakePack(dir / "good.kx", {{"a", Sample(100, 5)}, {"b", Sample(50, 6)}});
  const Bytes image = ReadBytes(dir / "good.kx");
  ASSERT_EQ(Kxpack({"verify", P("good.kx")}).status, 0);

  for (size_t i : {size_t(0), size_t(3), size_t(8), size_t(12), image.size() - 1}) {
    Bytes changed = image;
    changed[i] ^= 0x10;
    WriteBytes(dir / "bad.kx", changed);
    ExpectFailure(Kxpack({"verify", P("bad.kx")}), P("bad.kx"));
    ExpectFailure(Kxpack({"list", P("bad.kx")}), P("bad.kx"));
    ExpectFailure(Kxpack({"extract", P("bad.kx"), P("never")}), P("bad.kx"));
    EXPECT_FALSE(fs::exists(dir / "never"));
  }
  WriteBytes(dir / "short.kx", Bytes(image.begin(), image.begin() + 5));
  ExpectFailure(Kxpack({"verify", P("short.kx")}), P("short.kx"));
  ExpectFailure(Kxpack({"verify", P("absent.kx")}), P("absent.kx"));

  // Stray bytes behind the last entry, with a CRC that covers them: the
  // reader accepts the pack, verify reports the fault.
  Bytes longer = image;
  longer.push_back(0xEE);
  memset(&longer[2], 0, 4);
  const uint32_t crc = kxCRC32(longer.data(), uint32_t(longer.size()));
  for (int k = 0; k < 4; ++k) longer[2 + k] = uint8_t(crc >> (8 * k));
  WriteBytes(dir / "stray.kx", longer);
  const ToolRun run = Kxpack({"verify", P("stray.kx")});
  ExpectFailure(run, P("stray.kx"));
  EXPECT_NE(run.err.find("stray"), std::string::npos) << run.err;
}

TEST_F(KxpackTest, CreateErrorsLeaveNoPack) {
  WriteBytes(dir / "ok.bin", {1, 2});
  WriteBytes(dir / "empty", {});
  ExpectFailure(Kxpack({"create", P("n.kx"), P("ok.bin"), P("missing.bin")}), P("missing.bin"));
  ExpectFailure(Kxpack({"create", P("n.kx"), std::string(32, 'L') + "=" + P("ok.bin")}),
                P("ok.bin"));
  ExpectFailure(Kxpack({"create", P("n.kx"), P("ok.bin"), "ok.bin=" + P("empty")}), P("empty"));
  ExpectFailure(Kxpack({"create", P("n.kx"), "=" + P("ok.bin")}), P("ok.bin"));
  ExpectFailure(Kxpack({"create", P("n.kx"), P("empty")}), P("n.kx"));
  EXPECT_FALSE(fs::exists(dir / "n.kx"));

  // A failed create keeps the pack that was there.
  ASSERT_EQ(Kxpack({"create", P("keep.kx"), P("ok.bin")}).status, 0);
  const Bytes before = ReadBytes(dir / "keep.kx");
  ExpectFailure(Kxpack({"create", P("keep.kx"), P("missing.bin")}), P("missing.bin"));
  EXPECT_EQ(ReadBytes(dir / "keep.kx"), before);
  ExpectFailure(Kxpack({"create", P("nodir/x.kx"), P("ok.bin")}), P("nodir/x.kx"));
}

TEST_F(KxpackTest, UsageAndHelp) {
  ToolRun run = Kxpack({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("kxpack create"), std::string::npos);
  EXPECT_EQ(run.err, "");
  run = Kxpack({});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("usage"), std::string::npos);
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"frobnicate"},
                                              {"list"},
                                              {"list", "a", "b"},
                                              {"extract", "p"},
                                              {"create", "p"},
                                              {"verify"}}) {
    run = Kxpack(bad);
    EXPECT_NE(run.status, 0) << bad[0];
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
  }
}
