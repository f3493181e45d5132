#include "brand/bytes.h"

void fail(const std::string& message) { throw BrandError{message}; }

bool fits(size_t length, uint64_t offset, uint64_t size) {
  return offset <= length && size <= length - offset;
}

static void need(const Bytes& bytes, size_t offset, size_t size, const char* what) {
  if (!fits(bytes.size(), offset, size)) fail(std::string(what) + " is truncated");
}

uint16_t u16At(const Bytes& bytes, size_t offset, const char* what) {
  need(bytes, offset, 2, what);
  return (uint16_t)(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t u32At(const Bytes& bytes, size_t offset, const char* what) {
  need(bytes, offset, 4, what);
  return (uint32_t)bytes[offset] | (uint32_t)bytes[offset + 1] << 8 |
         (uint32_t)bytes[offset + 2] << 16 | (uint32_t)bytes[offset + 3] << 24;
}

void putU16(Bytes& bytes, size_t offset, uint16_t value) {
  bytes[offset] = (uint8_t)value;
  bytes[offset + 1] = (uint8_t)(value >> 8);
}

void putU32(Bytes& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = (uint8_t)(value >> (8 * i));
}

void appendU16(Bytes& bytes, uint16_t value) {
  bytes.push_back((uint8_t)value);
  bytes.push_back((uint8_t)(value >> 8));
}

void appendU32(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back((uint8_t)(value >> (8 * i)));
}

void padTo(Bytes& bytes, size_t alignment) {
  while (bytes.size() % alignment) bytes.push_back(0);
}

uint32_t alignUp(uint32_t value, uint32_t alignment) {
  return (uint32_t)(((uint64_t)value + alignment - 1) / alignment * alignment);
}
