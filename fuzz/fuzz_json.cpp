// The JSON parser on hostile text: never crashes, and what it accepts it writes back in a form
// it reads again to the same text.

#include "device/json.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto value = TlkJSON::ParseText(text);
    if (!value)
        return 0;
    const QString once = TlkJSON::GenerateText(value.get());
    const auto again = TlkJSON::ParseText(once);
    if (!again || TlkJSON::GenerateText(again.get()) != once)
        std::abort(); // the writer produced text its own reader does not take back
    return 0;
}
