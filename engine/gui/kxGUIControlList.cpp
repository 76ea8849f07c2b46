#include "gui/kxGUIControlList.h"

#include <cstdlib>

#include "gui/kxGUIObject.h"

bool kxAppendControlTo(kxGUIObject*** list, uint64_t* count, kxGUIObject* control) {
  if (*count >= SIZE_MAX / sizeof(kxGUIObject*)) return false;
  kxGUIObject** grown = static_cast<kxGUIObject**>(
      realloc(*list, sizeof(kxGUIObject*) * static_cast<size_t>(*count + 1)));
  if (!grown) return false;
  *list = grown;
  grown[(*count)++] = control;
  return true;
}

void kxDeleteControlsOf(kxGUIObject*** list, uint64_t* count) {
  kxGUIObject** old = *list;
  const uint64_t oldCount = *count;
  *list = nullptr;
  *count = 0;
  for (uint64_t i = 0; i < oldCount; ++i) delete old[i];
  free(old);
}
