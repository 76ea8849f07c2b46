#include "vimraLanguages.h"

#include "vimraPackKeys.h"

const vimraLanguage_s vimraLanguageTable[] = {
    {"English", vimraPackLanguages[0]},
    {"Polski", vimraPackLanguages[1]},
    {nullptr, nullptr},
};

int vimraLanguageCount() {
  int n = 0;
  while (vimraLanguageTable[n].name != nullptr) ++n;
  return n;
}

int vimraNextLanguage(int index) {
  if (index < 0 || index >= vimraLanguageCount()) return 0;
  return vimraLanguageTable[index + 1].name == nullptr ? 0 : index + 1;
}
