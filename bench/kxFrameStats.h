// kxFrameStats: what a frame benchmark records about one scene (wall and CPU
// time of every frame) and the figures it reports from them, plus a small
// report that prints them as lines and a table and writes them as JSON.
//
// Plain value types: everything is owned by value; nothing touches GL.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The times of the frames of one scene, in milliseconds.
struct kxFrameSamples {
  std::string name;
  std::vector<double> wallMs;
  std::vector<double> cpuMs;

  void Add(double wall, double cpu) {
    wallMs.push_back(wall);
    cpuMs.push_back(cpu);
  }
};

// Order statistics of one list of times. An empty list gives zeros.
struct kxTimeSummary {
  double median = 0;
  double p95 = 0;
  double p99 = 0;
  double max = 0;
  double mean = 0;
};

// Median (mean of the two middle values for an even count) and the
// nearest-rank 95th and 99th percentiles: the smallest sample that at least
// that share of the samples does not exceed.
kxTimeSummary kxSummarise(std::vector<double> samples);

// One scene's figures as the report shows them.
struct kxSceneFigures {
  std::string name;
  size_t frames = 0;
  kxTimeSummary wall;
  kxTimeSummary cpu;
  // CPU per frame beyond a bare clear-and-swap frame, in units of one
  // full-screen opaque textured quad: how many screens of fill the scene
  // costs. Negative when the scene is cheaper than the clear frame (noise).
  double screensOfFill = 0;
};

// `clear` and `fill` are the two reference scenes; with fill not dearer
// than clear no scale exists and screensOfFill stays 0.
kxSceneFigures kxSceneFiguresOf(const kxFrameSamples& scene, const kxTimeSummary& clearCpu,
                                const kxTimeSummary& fillCpu);

// A named number for the report (initialisation steps, switches, memory).
struct kxFigure {
  std::string group;
  std::string name;
  double value = 0;
  std::string unit;
};

// Everything one run reports. Scenes keep the order they were added in.
class kxFrameReport {
 public:
  void SetInfo(const std::string& key, const std::string& value);
  void AddScene(const kxSceneFigures& scene);
  void AddFigure(const std::string& group, const std::string& name, double value,
                 const std::string& unit);

  const std::vector<kxSceneFigures>& Scenes() const { return scenes; }
  const std::vector<kxFigure>& Figures() const { return figures; }

  // One line per figure: "scene <name> <figure> <value> <unit>" and
  // "<group> <name> <value> <unit>".
  void PrintLines(FILE* out) const;
  // The scenes as one aligned table.
  void PrintTable(FILE* out) const;
  // The same numbers as one JSON object.
  std::string ToJson() const;
  bool WriteJson(const char* path) const;

 private:
  std::vector<std::pair<std::string, std::string>> info;
  std::vector<kxSceneFigures> scenes;
  std::vector<kxFigure> figures;
};

// `text` as a JSON string literal, quotes included.
std::string kxJsonString(const std::string& text);
