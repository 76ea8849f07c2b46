// Pack images for the data tests: written by kxResource, put together by
// hand, resealed after a change.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "data/kxLittleEndian.h"
#include "data/kxResource.h"

using Bytes = std::vector<uint8_t>;

inline Bytes BytesOf(const kxMemoryBlock* block) {
  return block ? Bytes(block->data, block->data + block->size) : Bytes{0xEE};
}

inline uint64_t AppendBytes(kxResource& pack, const std::string& name, const Bytes& bytes) {
  kxMemoryBlock block = {const_cast<uint8_t*>(bytes.data()), bytes.size()};
  return pack.Append(&block, name.c_str());
}

inline Bytes WriteImage(const kxResource& pack) {
  kxMemoryBlock* image = pack.WriteToMemoryBlock();
  EXPECT_NE(image, nullptr);
  const Bytes bytes = BytesOf(image);
  kxFreeMemoryBlock(image);
  return bytes;
}

// Reads from an exact-size heap copy, so the sanitizer build catches any read
// past the image; also checks that the caller's bytes are left unchanged.
inline bool ReadImage(kxResource& pack, const Bytes& image) {
  kxMemoryBlock* block = kxAllocMemoryBlock(image.size());
  if (!image.empty()) memcpy(block->data, image.data(), image.size());
  const bool ok = pack.ReadFromMemoryBlock(block);
  EXPECT_EQ(BytesOf(block), image) << "the read changed the caller's block";
  kxFreeMemoryBlock(block);
  return ok;
}

inline uint32_t Load32(const uint8_t* p) {
  return kxLoadLE32(p);
}
inline void Store32(uint8_t* p, uint32_t v) {
  kxStoreLE32(p, v);
}

inline void Seal(Bytes& image) {  // the CRC is taken with its own field zeroed
  Store32(&image[2], 0);
  Store32(&image[2], uint32_t(crc32(0, image.data(), image.size())));
}

// A pack image put together by hand with a correct CRC, so that hostile
// tables reach the table checks.
inline Bytes HandImage(const Bytes& table, const Bytes& data) {
  kxMemoryBlock plain = {const_cast<uint8_t*>(table.data()), table.size()};
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(&plain);
  Bytes image(10 + crunched->size, 'k');
  image[1] = 'x';
  Store32(&image[6], uint32_t(crunched->size));
  memcpy(&image[10], crunched->data, crunched->size);
  kxFreeMemoryBlock(crunched);
  image.insert(image.end(), data.begin(), data.end());
  Seal(image);
  return image;
}

inline Bytes Records(std::initializer_list<std::pair<std::string, uint32_t>> entries) {
  Bytes table;
  for (const auto& [name, size] : entries) {
    table.resize(table.size() + 36, 0);
    memcpy(&table[table.size() - 36], name.data(), std::min<size_t>(name.size(), 32));
    Store32(&table[table.size() - 4], size);
  }
  return table;
}
