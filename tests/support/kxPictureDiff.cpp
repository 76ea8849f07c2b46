// kxPictureDiff: compares every picture of a reference folder with the
// picture of the same name in another folder, by the rule of
// kxPictureCompare.h, and prints one line a pair.
//
//   kxPictureDiff [--min-lit SHARE] REFERENCE_DIR OTHER_DIR
//
// --min-lit: the least share of reference pixels that are not black (default
// 0.1); a reference darker than that proves nothing by matching.
// Exit status: 0 when every pair passes, 1 when one does not, a picture is
// missing or unreadable, or the reference folder holds none; 2 on a usage
// error.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kxPictureCompare.h"

namespace {

std::vector<std::string> PicturesIn(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ppm") == 0) names.push_back(name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  double minLit = 0.1;
  int first = 1;
  if (argc > 2 && strcmp(argv[1], "--min-lit") == 0) {
    char* end = nullptr;
    minLit = strtod(argv[2], &end);
    if (!end || *end || minLit < 0 || minLit > 1) first = argc;  // a usage error below
    first += 2;
  }
  if (argc - first != 2) {
    fprintf(stderr, "usage: kxPictureDiff [--min-lit SHARE] REFERENCE_DIR OTHER_DIR\n");
    return 2;
  }
  const std::string reference = argv[first], other = argv[first + 1];
  const std::vector<std::string> names = PicturesIn(reference);
  if (names.empty()) {
    fprintf(stderr, "no pictures in %s\n", reference.c_str());
    return 1;
  }
  bool allPass = true;
  for (const std::string& name : names) {
    kxTest::Picture a, b;
    if (!kxTest::ReadPPM(reference + "/" + name, &a) || !kxTest::ReadPPM(other + "/" + name, &b)) {
      printf("%s: missing or unreadable\n", name.c_str());
      allPass = false;
      continue;
    }
    const kxTest::PictureDifference d = kxTest::ComparePictures(a, b);
    const bool lit = d.LitShare() >= minLit;
    printf("%s: %s; %.1f %% lit%s\n", name.c_str(), d.Describe().c_str(), d.LitShare() * 100.0,
           lit ? "" : " (too dark to prove anything)");
    allPass = allPass && d.Passes() && lit;
  }
  return allPass ? 0 : 1;
}
