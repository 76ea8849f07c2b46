#include "gui/kxEngineLogo.h"

#include <cstdint>

#include "data/kxResource.h"
#include "gui/kxEngineLogoData.h"

bool AppendEngineLogo(kxResource* resources) {
  if (!resources) return false;
  // Append copies the bytes, so the read-only array is never written.
  kxMemoryBlock logo{const_cast<uint8_t*>(kxEngineLogoData), kxEngineLogoDataSize};
  return resources->Append(&logo, "kxEngineLogo") != UINT64_MAX;
}
