// Writes an exe again with a new resource section. Everything before the
// resource section stays byte for byte; the sections after it (the base
// relocations) move whole to their new place.
#ifndef CORVANE_BRAND_PE_WRITER_H
#define CORVANE_BRAND_PE_WRITER_H

#include "brand/pe_reader.h"

// Throws BrandError unless the exe can be laid out again with a new resource
// section: the resource directory starts a section with data, nothing but
// the relocations follows it, no other directory lies in what moves, and
// nothing but a signature follows the last section.
void checkResourceSectionReplaceable(const PeFile& pe);

// The exe, which passed checkResourceSectionReplaceable, with the resource
// section's data replaced by section (laid out for the section's own
// address), without its signature when it had one. The checksum is computed
// again when the input had one.
Bytes replaceResourceSection(const PeFile& pe, const Bytes& section);

// The PE checksum of an image whose checksum field is at checksumOffset (an
// even offset, as in every exe: the headers start 8-byte aligned): its 16-bit
// words but that field summed with the carries folded back in, plus its length.
uint32_t peChecksum(const Bytes& image, size_t checksumOffset);

#endif
