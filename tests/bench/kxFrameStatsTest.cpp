// The frame benchmark's order statistics, fill scale and report output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "kxFrameStats.h"

namespace {

std::vector<double> OneTo(int n) {
  std::vector<double> v;
  for (int i = n; i >= 1; --i) v.push_back(i);  // unsorted on purpose
  return v;
}

std::string Captured(void (*print)(const kxFrameReport&, FILE*), const kxFrameReport& report) {
  FILE* file = tmpfile();
  print(report, file);
  std::string text;
  rewind(file);
  for (int c; (c = fgetc(file)) != EOF;) text += char(c);
  fclose(file);
  return text;
}

int CountLines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

kxFrameSamples Samples(const char* name, std::vector<double> wall, std::vector<double> cpu) {
  kxFrameSamples s;
  s.name = name;
  s.wallMs = wall;
  s.cpuMs = cpu;
  return s;
}

}  // namespace

TEST(kxFrameStatsTest, SummaryOfUnsortedSamples) {
  kxTimeSummary s = kxSummarise(OneTo(100));
  EXPECT_DOUBLE_EQ(s.median, 50.5);
  EXPECT_DOUBLE_EQ(s.p95, 95);
  EXPECT_DOUBLE_EQ(s.p99, 99);
  EXPECT_DOUBLE_EQ(s.max, 100);
  EXPECT_DOUBLE_EQ(s.mean, 50.5);

  // Nearest rank rounds the rank up: 95 % of 20 samples is the 19th, 99 %
  // of them the 20th; an odd count has one middle sample.
  s = kxSummarise(OneTo(20));
  EXPECT_DOUBLE_EQ(s.p95, 19);
  EXPECT_DOUBLE_EQ(s.p99, 20);
  s = kxSummarise({3, 1, 2});
  EXPECT_DOUBLE_EQ(s.median, 2);
  EXPECT_DOUBLE_EQ(s.p95, 3);

  // One slow frame among fast ones shows in the maximum and the mean only.
  std::vector<double> spiky(99, 10.0);
  spiky.push_back(500.0);
  s = kxSummarise(spiky);
  EXPECT_DOUBLE_EQ(s.median, 10);
  EXPECT_DOUBLE_EQ(s.p99, 10);
  EXPECT_DOUBLE_EQ(s.max, 500);
  EXPECT_DOUBLE_EQ(s.mean, 14.9);
}

TEST(kxFrameStatsTest, SummaryOfOneOrNoSample) {
  kxTimeSummary one = kxSummarise({7.5});
  EXPECT_DOUBLE_EQ(one.median, 7.5);
  EXPECT_DOUBLE_EQ(one.p95, 7.5);
  EXPECT_DOUBLE_EQ(one.p99, 7.5);
  EXPECT_DOUBLE_EQ(one.max, 7.5);
  kxTimeSummary none = kxSummarise({});
  EXPECT_EQ(none.median, 0);
  EXPECT_EQ(none.max, 0);
  EXPECT_EQ(none.mean, 0);
}

TEST(kxFrameStatsTest, ScreensOfFillAgainstTheReferences) {
  kxTimeSummary clear = kxSummarise({2, 2, 2});
  kxTimeSummary fill = kxSummarise({6, 6, 6});
  kxSceneFigures f = kxSceneFiguresOf(Samples("menu", {30, 31, 29}, {12, 14, 10}), clear, fill);
  EXPECT_EQ(f.name, "menu");
  EXPECT_EQ(f.frames, 3u);
  EXPECT_DOUBLE_EQ(f.wall.median, 30);
  EXPECT_DOUBLE_EQ(f.cpu.median, 12);
  EXPECT_DOUBLE_EQ(f.screensOfFill, 2.5);  // (12 - 2) / (6 - 2)

  // A scene cheaper than the bare frame reads as negative fill, not as zero.
  f = kxSceneFiguresOf(Samples("idle", {1}, {1}), clear, fill);
  EXPECT_DOUBLE_EQ(f.screensOfFill, -0.25);

  // References that give no positive screen leave the scale undefined: 0.
  f = kxSceneFiguresOf(Samples("menu", {30}, {12}), fill, clear);
  EXPECT_EQ(f.screensOfFill, 0);
  f = kxSceneFiguresOf(Samples("menu", {30}, {12}), clear, clear);
  EXPECT_EQ(f.screensOfFill, 0);
}

TEST(kxFrameStatsTest, JsonStringsAreEscaped) {
  EXPECT_EQ(kxJsonString("plain"), "\"plain\"");
  EXPECT_EQ(kxJsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(kxJsonString(std::string("t\tn\n\x01", 5)), "\"t\\u0009n\\u000a\\u0001\"");
  EXPECT_EQ(kxJsonString("Mesa 22.3 \xc5\x82"), "\"Mesa 22.3 \xc5\x82\"");  // UTF-8 passes
}

TEST(kxFrameStatsTest, ReportAsLinesTableAndJson) {
  kxFrameReport report;
  report.SetInfo("renderer", "llvmpipe");
  report.SetInfo("samples", "4");
  report.SetInfo("samples", "0");  // replaces, keeps its place
  kxTimeSummary clear = kxSummarise({1});
  kxTimeSummary fill = kxSummarise({3});
  report.AddScene(kxSceneFiguresOf(Samples("menu", {10, 12}, {5, 7}), clear, fill));
  report.AddScene(kxSceneFiguresOf(Samples("ring \"x\"", {8}, {4}), clear, fill));
  report.AddFigure("memory", "peak_rss", 99.5, "MiB");
  report.AddFigure("load", "ratio", std::nan(""), "x");

  std::string lines = Captured([](const kxFrameReport& r, FILE* f) { r.PrintLines(f); }, report);
  // Two info lines, eight per scene, one per figure.
  EXPECT_EQ(CountLines(lines), 2 + 2 * 8 + 2);
  EXPECT_NE(lines.find("info samples 0\n"), std::string::npos);
  EXPECT_EQ(lines.find("info samples 4"), std::string::npos);
  EXPECT_NE(lines.find("scene menu wall_median 11.000 ms\n"), std::string::npos);
  EXPECT_NE(lines.find("scene menu screens_of_fill 2.50 screens\n"), std::string::npos);
  EXPECT_NE(lines.find("memory peak_rss 99.500 MiB\n"), std::string::npos);

  std::string table = Captured([](const kxFrameReport& r, FILE* f) { r.PrintTable(f); }, report);
  EXPECT_EQ(CountLines(table), 3);  // heading and two scenes
  EXPECT_EQ(table.compare(0, 5, "scene"), 0);

  std::string json = report.ToJson();
  EXPECT_NE(json.find("\"info\": {\"renderer\": \"llvmpipe\", \"samples\": \"0\"}"),
            std::string::npos);
  EXPECT_NE(json.find("{\"name\": \"menu\", \"frames\": 2, \"wall_ms\": {\"median\": 11.0000"),
            std::string::npos);
  EXPECT_NE(json.find("\"name\": \"ring \\\"x\\\"\""), std::string::npos);
  EXPECT_NE(json.find("\"value\": null"), std::string::npos);  // NaN is not JSON
  EXPECT_EQ(json.find("nan"), std::string::npos);
  int depth = 0;
  for (char c : json) {
    depth += (c == '{' || c == '[') - (c == '}' || c == ']');
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);
}

TEST(kxFrameStatsTest, JsonFileWrittenOrRefused) {
  kxFrameReport report;
  report.AddFigure("pack", "size", 3.25, "MiB");
  char path[] = "/tmp/kx-frame-stats-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_TRUE(report.WriteJson(path));
  FILE* file = fopen(path, "rb");
  ASSERT_NE(file, nullptr);
  std::string read;
  for (int c; (c = fgetc(file)) != EOF;) read += char(c);
  fclose(file);
  remove(path);
  EXPECT_EQ(read, report.ToJson());
  EXPECT_FALSE(report.WriteJson("/nonexistent-dir/report.json"));
}
