// Numbers in file headers (BMP, WAV) are stored lowest byte first.
#ifndef GRUMO_LIB_LITTLE_ENDIAN_H
#define GRUMO_LIB_LITTLE_ENDIAN_H

// The unsigned number in `count` bytes (at most 4) stored lowest first.
inline long littleEndian(const unsigned char* bytes, int count) {
  unsigned long value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return static_cast<long>(value);
}

#endif
