// Little-endian fields in byte buffers, and the one error type of the tool:
// every reader checks its bounds and throws BrandError with a line for the user.
#ifndef CORVANE_BRAND_BYTES_H
#define CORVANE_BRAND_BYTES_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct BrandError {
  std::string message;
};

[[noreturn]] void fail(const std::string& message);

// True when size bytes from offset lie within a buffer of length bytes.
bool fits(size_t length, uint64_t offset, uint64_t size);

// Readers: throw BrandError("<what> is truncated") past the end.
uint16_t u16At(const Bytes& bytes, size_t offset, const char* what);
uint32_t u32At(const Bytes& bytes, size_t offset, const char* what);

// Writers into a buffer already long enough.
void putU16(Bytes& bytes, size_t offset, uint16_t value);
void putU32(Bytes& bytes, size_t offset, uint32_t value);

void appendU16(Bytes& bytes, uint16_t value);
void appendU32(Bytes& bytes, uint32_t value);
// Zero bytes up to the next multiple of alignment.
void padTo(Bytes& bytes, size_t alignment);

// alignment is not 0.
uint32_t alignUp(uint32_t value, uint32_t alignment);

#endif
