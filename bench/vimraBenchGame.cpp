#include "vimraBenchGame.h"

#include <SDL.h>
#include <zlib.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxResource.h"
#include "graphics/kxFont.h"
#include "graphics/kxGeometry.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "render/kxRenderer.h"
#include "vimraLanguages.h"
#include "vimraPackKeys.h"

namespace {

const double kFramePeriodMs = 1000.0 / 60.0;

double Ms(const timespec& t) {
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Reads "Key:   value kB" from /proc/self/status, in MiB.
double StatusMiB(const char* key) {
  FILE* file = fopen("/proc/self/status", "r");
  if (!file) return 0;
  char line[256];
  double value = 0;
  const size_t n = strlen(key);
  while (fgets(line, sizeof line, file)) {
    if (strncmp(line, key, n) == 0 && line[n] == ':') {
      value = atof(line + n + 1) / 1024.0;
      break;
    }
  }
  fclose(file);
  return value;
}

// The order scenes are reported in.
const char* const kSceneOrder[] = {"clear_swap",      "fill_quad", "fill_quad_blend", "menu",
                                   "menu_scene_only", "ring",      "first_gather",    "deal",
                                   "table",           "row_stars", "later_gather",    "to_reveal",
                                   "reveal",          "return",    "back_to_menu"};

}  // namespace

vimraBenchGame::vimraBenchGame(int msaa, bool listMappings, const std::string& shotDirectory)
    : driver(this, true),
      listMappings(listMappings),
      shotDirectory(shotDirectory),
      onAfterInitMs(0),
      onAfterInitCpuMs(0),
      fillTexture(0) {
  if (msaa >= 0) SetMultisampling(msaa);
  // Clicks and the splash run on a clock that moves with every reading, so
  // the splash is not paced and two clicks are never taken for a double
  // click.
  SetTickSource(vimraDriver::RunningClock);
}

vimraBenchGame::~vimraBenchGame() {
  if (fillTexture && glContext) kxGetRenderer()->DeleteTextures(1, &fillTexture);
}

vimraBenchGame::Clock vimraBenchGame::Now() {
  timespec wall, cpu;
  clock_gettime(CLOCK_MONOTONIC, &wall);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  return Clock{Ms(wall), Ms(cpu)};
}

bool vimraBenchGame::OnAfterInit() {
  Clock start = Now();
  bool loaded = vimraGame::OnAfterInit();
  kxGetRenderer()->Finish();
  Clock end = Now();
  onAfterInitMs = end.wall - start.wall;
  onAfterInitCpuMs = end.cpu - start.cpu;
  return loaded;
}

bool vimraBenchGame::Start(kxFrameReport* report) {
  Clock start = Now();
  if (!Init()) return false;
  Clock end = Now();
  quitRequested = false;

  kxRenderer* r = kxGetRenderer();
  const int samples = r->GetSamples();
  report->SetInfo("renderer", r->GetRendererName());
  report->SetInfo("gl_version", r->GetVersion());
  report->SetInfo("path", kxRendererName(r->GetKind()));
  report->SetInfo("samples", std::to_string(samples));
  report->SetInfo("software_renderer", IsSoftwareRenderer() ? "yes" : "no");
  report->SetInfo("size", std::to_string(GetWidth()) + "x" + std::to_string(GetHeight()));
  const char* threads = getenv("LP_NUM_THREADS");
  report->SetInfo("lp_num_threads", threads ? threads : "default");

  report->AddFigure("init", "init_with_unpaced_splash_wall", end.wall - start.wall, "ms");
  report->AddFigure("init", "on_after_init_wall", onAfterInitMs, "ms");
  report->AddFigure("init", "on_after_init_cpu", onAfterInitCpuMs, "ms");
  RecordMemory("after_start", report);

  ReferenceFrames(120, report);
  return true;
}

// ---------------------------------------------------------------------------
// Frames

kxFrameSamples& vimraBenchGame::Scene(const char* name) {
  kxFrameSamples& s = scenes[name];
  s.name = name;
  return s;
}

void vimraBenchGame::FrameInto(kxFrameSamples* samples) {
  Clock start = Now();
  driver.Step();
  kxGetRenderer()->Finish();
  Clock end = Now();
  if (samples) samples->Add(end.wall - start.wall, end.cpu - start.cpu);
}

void vimraBenchGame::Frame() {
  const char* name = driver.SceneName();
  kxFrameSamples& scene = Scene(name);
  // A picture of some scenes, to compare the frames of two builds by eye.
  // That frame is drawn apart and not timed: the picture is read back from
  // the drawn buffer before the swap.
  static const struct {
    const char* scene;
    size_t frame;
  } shots[] = {{"menu", 60}, {"table", 30}, {"row_stars", 20}, {"reveal", 90}};
  for (const auto& shot : shots) {
    if (!shotDirectory.empty() && strcmp(shot.scene, name) == 0 &&
        scene.wallMs.size() == shot.frame && shotsTaken.insert(name).second) {
      GetGUIManager()->HandleEvents();
      Render();
      GetGUIManager()->Draw();
      SaveShot(shotDirectory + "/" + name + ".ppm");
      SDL_GL_SwapWindow(window);
      ++frameCounter;
      return;
    }
  }
  FrameInto(&scene);
}

void vimraBenchGame::SaveShot(const std::string& path) {
  const int w = GetWidth(), h = GetHeight();
  // The back buffer, which the frame has just drawn and not yet swapped.
  std::vector<uint8_t> rgba(size_t(w) * h * 4);
  kxGetRenderer()->ReadPixels(0, 0, w, h, rgba.data());
  std::vector<uint8_t> rgb(size_t(w) * 3);
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return;
  fprintf(file, "P6\n%d %d\n255\n", w, h);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) memcpy(&rgb[size_t(x) * 3], &rgba[(size_t(y) * w + x) * 4], 3);
    fwrite(rgb.data(), 1, rgb.size(), file);
  }
  fclose(file);
}

void vimraBenchGame::StepWhile(int waitState, int limit) {
  for (int i = 0; i < limit && (state == waitState || driver.InputPending()); ++i) Frame();
}

void vimraBenchGame::StepFrames(int count) {
  for (int i = 0; i < count; ++i) Frame();
}

void vimraBenchGame::ClickAt(int x, int y) {
  driver.ClickAt(x, y);
}

void vimraBenchGame::PressKey(int key) {
  driver.PressKey(key);
}

void vimraBenchGame::ClickControl(unsigned int id) {
  if (!driver.ClickControl(id)) fprintf(stderr, "no control %u on screen\n", id);
}

// ---------------------------------------------------------------------------
// Scenes

void vimraBenchGame::RunScenes(double scale, kxFrameReport* report) {
  auto hold = [scale](int frames) { return int(std::lround(frames * scale)); };
  const int w = GetWidth(), h = GetHeight();

  StepFrames(hold(240));
  // The same menu with the GUI frozen (not drawn): what the controls cost.
  GetGUIManager()->Freeze();
  for (int i = 0; i < hold(120); ++i) FrameInto(&Scene("menu_scene_only"));
  GetGUIManager()->Thaw();
  ClickControl(idStart);
  StepWhile(StateMenu, 10);
  StepFrames(hold(240));

  // The peak of a whole trick, from the first click to the ring again.
  FILE* clear = fopen("/proc/self/clear_refs", "w");
  if (clear) {
    fputs("5", clear);
    fclose(clear);
  }
  ClickAt(w / 2, h / 2);
  StepWhile(StateRing, 10);
  StepWhile(StateGather, 400);
  StepWhile(StateDeal, 200);
  StepFrames(hold(240));
  for (int answer = 0; answer < 3 && state == StateAwaitRow; ++answer) {
    ClickAt(w / 2, h / 2);
    StepWhile(StateAwaitRow, 10);
    if (state != StateGather) break;
    StepWhile(StateGather, 600);
    StepWhile(StateDeal, 200);
    StepFrames(hold(60));
  }
  StepWhile(StateToReveal, 600);
  StepFrames(hold(400));
  ClickAt(w / 2, h / 2);
  StepWhile(StateReveal, 10);
  StepWhile(StateRevealEnd, 400);
  report->AddFigure("memory", "peak_rss_during_trick", StatusMiB("VmHWM"), "MiB");
  RecordMemory("after_trick", report);

  // A second trick left during its first gather: the flight back to the menu.
  ClickAt(w / 2, h / 2);
  StepWhile(StateRing, 10);
  StepFrames(30);
  PressKey(SDLK_ESCAPE);
  StepWhile(StateGather, 10);
  StepWhile(StateBackToMenu, 400);
  StepFrames(hold(60));

  for (const char* name : kSceneOrder) {
    auto it = scenes.find(name);
    if (it != scenes.end()) report->AddScene(kxSceneFiguresOf(it->second, clearCpu, fillCpu));
  }
  auto other = scenes.find("other");
  if (other != scenes.end())
    fprintf(stderr, "%zu frames in no scene\n", other->second.wallMs.size());
}

// ---------------------------------------------------------------------------
// References: a frame that only clears and swaps, and one that also covers
// the screen once with one textured quad, opaque and blended.

void vimraBenchGame::DrawFillQuad() {
  kxRenderer* r = kxGetRenderer();
  r->SetMatrixMode(mmProjection);
  r->PushMatrix();
  r->LoadIdentity();
  r->Ortho(0, 1, 0, 1, -1, 1);
  r->SetMatrixMode(mmModelView);
  r->PushMatrix();
  r->LoadIdentity();
  const bool depth = r->IsEnabled(rsDepthTest), lighting = r->IsEnabled(rsLighting);
  r->Disable(rsDepthTest);
  r->Disable(rsLighting);
  r->Enable(rsTexture);
  r->BindTexture(fillTexture);
  r->SetColor(1, 1, 1, 1);
  const float corners[4 * 3] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  const float coords[4 * 2] = {0, 0, 1, 0, 1, 1, 0, 1};
  r->DrawVertices(pmTriangleFan, corners, nullptr, coords, 4);
  r->Disable(rsTexture);
  r->SetEnabled(rsDepthTest, depth);
  r->SetEnabled(rsLighting, lighting);
  r->PopMatrix();
  r->SetMatrixMode(mmProjection);
  r->PopMatrix();
  r->SetMatrixMode(mmModelView);
}

void vimraBenchGame::ReferenceFrames(int count, kxFrameReport*) {
  // A picture the size of a card's, so the quad samples like the scene does.
  const int side = 512;
  std::vector<uint8_t> texels(size_t(side) * side * 4);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint8_t((i * 2654435761u) >> 24);
  kxRenderer* r = kxGetRenderer();
  fillTexture = r->CreateTexture(side, side, pfRGBA, texels.data(), false);
  r->BindTexture(0);

  kxFrameSamples& clearSwap = Scene("clear_swap");
  kxFrameSamples& fill = Scene("fill_quad");
  kxFrameSamples& blend = Scene("fill_quad_blend");
  // Interleaved, so a change of load on the machine reaches all three alike.
  for (int i = 0; i < count; ++i) {
    for (int kind = 0; kind < 3; ++kind) {
      Clock start = Now();
      r->SetClearColor(0.0f, 0.0f, 0.2f, 1.0f);
      r->Clear(true, true);
      if (kind > 0) {
        if (kind == 2) r->Enable(rsBlend);
        DrawFillQuad();
        r->Disable(rsBlend);
      }
      SDL_GL_SwapWindow(window);
      kxGetRenderer()->Finish();
      Clock end = Now();
      (kind == 0   ? clearSwap
       : kind == 1 ? fill
                   : blend)
          .Add(end.wall - start.wall, end.cpu - start.cpu);
    }
  }
  clearCpu = kxSummarise(clearSwap.cpuMs);
  fillCpu = kxSummarise(fill.cpuMs);
}

void vimraBenchGame::RecordMemory(const char* when, kxFrameReport* report) {
  report->AddFigure("memory", std::string("rss_") + when, StatusMiB("VmRSS"), "MiB");
  report->AddFigure("memory", std::string("peak_rss_") + when, StatusMiB("VmHWM"), "MiB");
#if defined(__GLIBC__)
  // The heap's share: what is allocated, and what is free but still held.
  struct mallinfo2 heap = mallinfo2();
  report->AddFigure("memory", std::string("heap_in_use_") + when, double(heap.uordblks) / 1048576.0,
                    "MiB");
  report->AddFigure("memory", std::string("heap_free_held_") + when,
                    double(heap.fordblks) / 1048576.0, "MiB");
  report->AddFigure("memory", std::string("mmapped_blocks_") + when,
                    double(heap.hblkhd) / 1048576.0, "MiB");
#endif
  if (listMappings) PrintLargestMappings(when);
}

// Resident memory by what it maps (a file, the heap, anonymous memory), the
// largest first: where the resident set lives.
void vimraBenchGame::PrintLargestMappings(const char* when) {
  FILE* file = fopen("/proc/self/smaps", "r");
  if (!file) return;
  std::map<std::string, double> byName;
  std::string current;
  char line[512];
  while (fgets(line, sizeof line, file)) {
    unsigned long from, to;
    char rest[400] = "";
    if (sscanf(line, "%lx-%lx %*s %*s %*s %*s %399[^\n]", &from, &to, rest) >= 2 &&
        strchr(line, '-') < strchr(line, ' ')) {
      current = rest[0] ? rest : "[anonymous]";
    } else if (strncmp(line, "Rss:", 4) == 0) {
      byName[current] += atof(line + 4) / 1024.0;
    }
  }
  fclose(file);
  std::vector<std::pair<double, std::string>> sorted;
  for (auto& e : byName) sorted.emplace_back(e.second, e.first);
  std::sort(sorted.rbegin(), sorted.rend());
  fprintf(stderr, "resident memory %s:\n", when);
  for (size_t i = 0; i < sorted.size() && i < 14; ++i) {
    fprintf(stderr, "  %8.2f MiB  %s\n", sorted[i].first, sorted[i].second.c_str());
  }
}

// ---------------------------------------------------------------------------
// Switches: the frame that delivers the click does the work.

void vimraBenchGame::MeasureSwitches(kxFrameReport* report) {
  ClickControl(idSettings);
  StepFrames(4);
  struct {
    unsigned int id;
    const char* name;
  } switches[4] = {{idQuality, "quality_to_low"},
                   {idQuality, "quality_to_high"},
                   {idLanguage, "language_next"},
                   {idLanguage, "language_back"}};
  for (auto& s : switches) {
    ClickControl(s.id);
    while (driver.InputPending()) Frame();
    kxFrameSamples delivering, after;
    FrameInto(&delivering);
    for (int i = 0; i < 3; ++i) FrameInto(&after);
    const double wall = delivering.wallMs[0];
    const kxTimeSummary next = kxSummarise(after.cpuMs);
    report->AddFigure("switch", std::string(s.name) + "_wall", wall, "ms");
    report->AddFigure("switch", std::string(s.name) + "_cpu", delivering.cpuMs[0], "ms");
    report->AddFigure("switch", std::string(s.name) + "_frames", wall / kFramePeriodMs, "frames");
    // What the switch adds to the frame that carries it, beside the frames
    // of the same screen after it.
    report->AddFigure("switch", std::string(s.name) + "_extra_cpu",
                      delivering.cpuMs[0] - next.median, "ms");
    report->AddFigure("switch", std::string(s.name) + "_next_frames_max_cpu", next.max, "ms");
  }
  ClickControl(idOK);
  StepFrames(4);
}

// ---------------------------------------------------------------------------
// Loading

void vimraBenchGame::MeasureLoading(const std::string& packPath, kxFrameReport* report) {
  double totalWall = 0, totalCpu = 0;
  auto step = [&](const char* name, auto&& work) {
    Clock start = Now();
    work();
    kxGetRenderer()->Finish();
    Clock end = Now();
    totalWall += end.wall - start.wall;
    totalCpu += end.cpu - start.cpu;
    report->AddFigure("load", std::string(name) + "_wall", end.wall - start.wall, "ms");
    report->AddFigure("load", std::string(name) + "_cpu", end.cpu - start.cpu, "ms");
  };
  step("read_pack", [] {
    kxResource pack;
    (void)pack.ReadFromFile("vimradata.bin");  // only the time is measured
  });
  step("music", [this] {
    kxMusic m;
    kxMemoryBlock* block = GetEntry(vimraKeyMusic);
    if (block) (void)m.LoadFromCrunchedMemoryBlock(block);
  });
  step("deck", [this] { BuildDeck(); });
  step("fonts", [this] {
    kxFont large(ftTopDown), small(ftTopDown);
    if (GetEntry(vimraKeyLargeFont))
      (void)large.LoadFromCrunchedMemoryBlock(GetEntry(vimraKeyLargeFont));
    if (GetEntry(vimraKeySmallFont))
      (void)small.LoadFromCrunchedMemoryBlock(GetEntry(vimraKeySmallFont));
  });
  step("backdrop_and_clouds", [this] {
    BuildBackground();
    if (clouds) clouds->Clear(true);
    BuildClouds();
  });
  step("stars", [this] { BuildStars(); });
  step("language", [this] { SetLanguage(language); });
  step("sampler", [this] {
    kxSampler s;
    kxMemoryBlock* block = GetEntry(vimraKeyChoiceSound);
    if (block) (void)s.AppendSampleFromCrunchedMemoryBlock(block);
  });
  step("button_images", [this] {
    for (const char* c : vimraButtonColours) {
      kxGUIButtonStates states(GetEntry(vimraButtonKey(c, vimraButtonStates[0]).c_str()),
                               GetEntry(vimraButtonKey(c, vimraButtonStates[1]).c_str()),
                               GetEntry(vimraButtonKey(c, vimraButtonStates[2]).c_str()));
    }
  });
  step("main_menu", [this] {
    GetGUIManager()->Clear();
    ShowMainMenu();
  });
  step("lighting", [this] { SetupLighting(); });
  report->AddFigure("load", "steps_total_wall", totalWall, "ms");
  report->AddFigure("load", "steps_total_cpu", totalCpu, "ms");

  // The floor: the file read whole with stdio and the entries a start uses
  // expanded with zlib alone.
  Clock start = Now();
  std::vector<uint8_t> image;
  if (FILE* file = fopen(packPath.c_str(), "rb")) {
    uint8_t chunk[1 << 16];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
      image.insert(image.end(), chunk, chunk + n);
    fclose(file);
  }
  Clock read = Now();
  Clock used{0, 0}, all{0, 0};
  for (uint64_t i = 0; resources && i < resources->Length(); ++i) {
    const kxMemoryBlock* block = resources->Get(i);
    const std::string name = resources->GetName(i);
    if (!block || block->size < 4) continue;
    uLongf size = uLongf(block->data[0]) | uLongf(block->data[1]) << 8 |
                  uLongf(block->data[2]) << 16 | uLongf(block->data[3]) << 24;
    // A start asks for the entries of the chosen quality and language.
    const std::string lowSuffix = vimraKeyLowSuffix;
    const bool low = name.size() > lowSuffix.size() &&
                     name.compare(name.size() - lowSuffix.size(), lowSuffix.size(), lowSuffix) == 0;
    bool wanted =
        highQuality ? !low : (low || !resources->ResourceExists(vimraLowKey(name).c_str()));
    for (int l = 0; l < vimraLanguageCount(); ++l) {
      std::string suffix = std::string("_") + vimraLanguageTable[l].key;
      if (l != language && name.size() > suffix.size() &&
          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        wanted = false;
    }
    Clock a = Now();
    Bytef* out = static_cast<Bytef*>(malloc(size ? size : 1));
    if (out) uncompress(out, &size, block->data + 4, uLong(block->size - 4));
    free(out);
    Clock b = Now();
    all.wall += b.wall - a.wall, all.cpu += b.cpu - a.cpu;
    if (wanted) used.wall += b.wall - a.wall, used.cpu += b.cpu - a.cpu;
  }
  const Clock floor{read.wall - start.wall + used.wall, read.cpu - start.cpu + used.cpu};
  report->AddFigure("load", "floor_read_file_wall", read.wall - start.wall, "ms");
  report->AddFigure("load", "floor_expand_used_entries_wall", used.wall, "ms");
  report->AddFigure("load", "floor_expand_all_entries_wall", all.wall, "ms");
  report->AddFigure("load", "floor_wall", floor.wall, "ms");
  report->AddFigure("load", "floor_cpu", floor.cpu, "ms");
  report->AddFigure("load", "on_after_init_over_floor_wall", onAfterInitMs / floor.wall, "x");
  report->AddFigure("load", "on_after_init_over_floor_cpu", onAfterInitCpuMs / floor.cpu, "x");
  report->AddFigure("pack", "size", double(image.size()) / (1024.0 * 1024.0), "MiB");
}
