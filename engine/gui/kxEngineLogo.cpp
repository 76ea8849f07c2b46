#include "gui/kxEngineLogo.h"

#include <cstdint>
#include <string>

#include "data/kxResource.h"
#include "gui/kxEngineLogoData.h"

bool AppendEngineLogo(kxResource* resources) {
  if (!resources) return false;
  // Append copies the bytes, so the read-only array is never written.
  kxMemoryBlock logo{const_cast<uint8_t*>(kxEngineLogoData), kxEngineLogoDataSize};
  return resources->Append(&logo, "kxEngineLogo") != UINT64_MAX;
}

bool AppendEngineLogoRenderings(kxResource* resources) {
  if (!resources) return false;
  for (int i = 0; i < kxEngineLogoRenderingCount; ++i) {
    const kxEngineLogoRendering_s& r = kxEngineLogoRenderings[i];
    kxMemoryBlock logo{const_cast<uint8_t*>(r.data), r.size};
    const std::string name = std::string("kxEngineLogo") + r.suffix;
    if (resources->Append(&logo, name.c_str()) == UINT64_MAX) return false;
  }
  return true;
}
