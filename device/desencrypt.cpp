#include "device/desencrypt.h"

#include <nettle/des.h>

int DesEncrypt(unsigned char *out, int outLen, const unsigned char *data, int dataLen,
               const unsigned char *key, int keyLen)
{
    if (!out || !data || !key || outLen != DES_BLOCK_SIZE || dataLen != DES_BLOCK_SIZE ||
        keyLen != DES_KEY_SIZE)
        return -1;
    des_ctx ctx;
    // des_set_key reports weak keys; they still give a valid (if weak) key schedule, and the
    // caller only needs the same inputs to give the same output.
    des_set_key(&ctx, key);
    des_encrypt(&ctx, DES_BLOCK_SIZE, out, data);
    return 0;
}
