#include "vpPackBuilder.h"

#include <cstring>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"

bool vpPackBuilder::Add(const std::string& name, const std::vector<uint8_t>& bytes) {
  if (name.empty() || name.size() > kxResource::kMaxNameLength) return false;
  for (const vpPackEntry& e : entries)
    if (e.name == name) return false;
  kxMemoryBlock* raw = kxAllocMemoryBlock(bytes.size());
  if (!raw) return false;
  if (!bytes.empty()) std::memcpy(raw->data, bytes.data(), bytes.size());
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(raw);
  kxFreeMemoryBlock(raw);
  if (!crunched) return false;
  entries.push_back(
      {name, bytes.size(), std::vector<uint8_t>(crunched->data, crunched->data + crunched->size)});
  kxFreeMemoryBlock(crunched);
  return true;
}

bool vpPackBuilder::Write(const std::string& fileName) const {
  kxResource pack;
  for (const vpPackEntry& e : entries) {
    kxMemoryBlock block{const_cast<uint8_t*>(e.crunched.data()), e.crunched.size()};
    if (pack.Append(&block, e.name.c_str()) == UINT64_MAX) return false;
  }
  return pack.WriteToFile(fileName.c_str());
}
