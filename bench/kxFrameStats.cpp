#include "kxFrameStats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Nearest rank: the sample at position ceil(p * n) counted from 1.
double NearestRank(const std::vector<double>& sorted, double share) {
  size_t rank = size_t(std::ceil(share * double(sorted.size())));
  if (rank < 1) rank = 1;
  if (rank > sorted.size()) rank = sorted.size();
  return sorted[rank - 1];
}

// JSON has no NaN or infinity; such a value is written as null.
std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  snprintf(text, sizeof text, "%.4f", value);
  return text;
}

void AppendSummary(std::string* json, const char* key, const kxTimeSummary& s) {
  *json += std::string("\"") + key + "\": {\"median\": " + JsonNumber(s.median) +
           ", \"p95\": " + JsonNumber(s.p95) + ", \"p99\": " + JsonNumber(s.p99) +
           ", \"max\": " + JsonNumber(s.max) + ", \"mean\": " + JsonNumber(s.mean) + "}";
}

}  // namespace

kxTimeSummary kxSummarise(std::vector<double> samples) {
  kxTimeSummary s;
  if (samples.empty()) return s;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  s.p95 = NearestRank(samples, 0.95);
  s.p99 = NearestRank(samples, 0.99);
  s.max = samples.back();
  s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / double(n);
  return s;
}

kxSceneFigures kxSceneFiguresOf(const kxFrameSamples& scene, const kxTimeSummary& clearCpu,
                                const kxTimeSummary& fillCpu) {
  kxSceneFigures f;
  f.name = scene.name;
  f.frames = scene.wallMs.size();
  f.wall = kxSummarise(scene.wallMs);
  f.cpu = kxSummarise(scene.cpuMs);
  const double screen = fillCpu.median - clearCpu.median;
  if (screen > 0) f.screensOfFill = (f.cpu.median - clearCpu.median) / screen;
  return f;
}

void kxFrameReport::SetInfo(const std::string& key, const std::string& value) {
  for (auto& entry : info) {
    if (entry.first == key) {
      entry.second = value;
      return;
    }
  }
  info.emplace_back(key, value);
}

void kxFrameReport::AddScene(const kxSceneFigures& scene) {
  scenes.push_back(scene);
}

void kxFrameReport::AddFigure(const std::string& group, const std::string& name, double value,
                              const std::string& unit) {
  figures.push_back(kxFigure{group, name, value, unit});
}

void kxFrameReport::PrintLines(FILE* out) const {
  for (const auto& entry : info)
    fprintf(out, "info %s %s\n", entry.first.c_str(), entry.second.c_str());
  for (const kxSceneFigures& s : scenes) {
    const char* n = s.name.c_str();
    fprintf(out, "scene %s frames %zu\n", n, s.frames);
    fprintf(out, "scene %s wall_median %.3f ms\n", n, s.wall.median);
    fprintf(out, "scene %s wall_p95 %.3f ms\n", n, s.wall.p95);
    fprintf(out, "scene %s wall_p99 %.3f ms\n", n, s.wall.p99);
    fprintf(out, "scene %s wall_max %.3f ms\n", n, s.wall.max);
    fprintf(out, "scene %s cpu_median %.3f ms\n", n, s.cpu.median);
    fprintf(out, "scene %s cpu_mean %.3f ms\n", n, s.cpu.mean);
    fprintf(out, "scene %s screens_of_fill %.2f screens\n", n, s.screensOfFill);
  }
  for (const kxFigure& f : figures) {
    fprintf(out, "%s %s %.3f %s\n", f.group.c_str(), f.name.c_str(), f.value, f.unit.c_str());
  }
}

void kxFrameReport::PrintTable(FILE* out) const {
  fprintf(out, "%-14s %6s %9s %9s %9s %9s %9s %9s %7s\n", "scene", "frames", "wall_med", "wall_p95",
          "wall_p99", "wall_max", "cpu_med", "cpu_mean", "screens");
  for (const kxSceneFigures& s : scenes) {
    fprintf(out, "%-14s %6zu %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f %7.2f\n", s.name.c_str(), s.frames,
            s.wall.median, s.wall.p95, s.wall.p99, s.wall.max, s.cpu.median, s.cpu.mean,
            s.screensOfFill);
  }
}

std::string kxFrameReport::ToJson() const {
  std::string json = "{\n  \"info\": {";
  for (size_t i = 0; i < info.size(); ++i) {
    json += (i ? ", " : "") + kxJsonString(info[i].first) + ": " + kxJsonString(info[i].second);
  }
  json += "},\n  \"scenes\": [";
  for (size_t i = 0; i < scenes.size(); ++i) {
    const kxSceneFigures& s = scenes[i];
    json += std::string(i ? "," : "") + "\n    {\"name\": " + kxJsonString(s.name) +
            ", \"frames\": " + std::to_string(s.frames) + ", ";
    AppendSummary(&json, "wall_ms", s.wall);
    json += ", ";
    AppendSummary(&json, "cpu_ms", s.cpu);
    json += ", \"screens_of_fill\": " + JsonNumber(s.screensOfFill) + "}";
  }
  json += "\n  ],\n  \"figures\": [";
  for (size_t i = 0; i < figures.size(); ++i) {
    const kxFigure& f = figures[i];
    json += std::string(i ? "," : "") + "\n    {\"group\": " + kxJsonString(f.group) +
            ", \"name\": " + kxJsonString(f.name) + ", \"value\": " + JsonNumber(f.value) +
            ", \"unit\": " + kxJsonString(f.unit) + "}";
  }
  json += "\n  ]\n}\n";
  return json;
}

bool kxFrameReport::WriteJson(const char* path) const {
  FILE* file = fopen(path, "wb");
  if (!file) return false;
  const std::string json = ToJson();
  bool written = fwrite(json.data(), 1, json.size(), file) == json.size();
  return fclose(file) == 0 && written;
}

std::string kxJsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}
