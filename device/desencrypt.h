#pragma once

// Stand-in for the maker's DES library: single DES, ECB, one 8-byte block.
// Arguments in the maker's order: output (8 bytes), its size, data block, its size, second
// operand, its size. The second operand is the key. Returns 0 when the block was written,
// -1 when a size is not 8 or a pointer is null (the output is then untouched).
int DesEncrypt(unsigned char *out, int outLen, const unsigned char *data, int dataLen,
               const unsigned char *key, int keyLen);
