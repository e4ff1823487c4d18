// The driver's reply receiver fed by an in-process link: the fuzz input is what the "device"
// sends, cut into pieces with pauses between them. Every command must end (true or false)
// without crashing, whatever arrives.

#include "device/bytelink.h"
#include "device/twinapiv8.h"

#include <cstdint>
#include <cstdlib>
#include <deque>

namespace {
// Input layout: repeated [n][pause][n bytes]; n bytes arrive after `pause` x 10 ms of silence.
class ScriptedLink : public ByteLink
{
public:
    ScriptedLink(const uint8_t *data, size_t size)
    {
        size_t i = 0;
        while (i + 2 <= size) {
            const size_t n = data[i];
            const int pause = data[i + 1] * 10;
            i += 2;
            const size_t take = std::min(n, size - i);
            chunks_.push_back({pause, QByteArray(reinterpret_cast<const char *>(data + i), qsizetype(take))});
            i += take;
        }
    }
    bool isOpen() const override { return true; }

protected:
    bool doWrite(const QByteArray &) override { return true; }
    QByteArray doRead(int maxBytes) override
    {
        const QByteArray out = ready_.left(maxBytes);
        ready_.remove(0, out.size());
        return out;
    }
    int doBytesAvailable() override { return int(ready_.size()); }
    bool doWaitForBytes(int msecs) override
    {
        if (!ready_.isEmpty())
            return true;
        // Virtual time: a chunk due within the wait arrives, anything later stays for the next wait.
        while (!chunks_.empty()) {
            auto &c = chunks_.front();
            if (c.pause > msecs) {
                c.pause -= msecs;
                return false;
            }
            msecs -= c.pause;
            ready_ += c.bytes;
            chunks_.pop_front();
            if (!ready_.isEmpty())
                return true;
        }
        return false;
    }
    void doClear() override { ready_.clear(); }

private:
    struct Chunk
    {
        int pause;
        QByteArray bytes;
    };
    std::deque<Chunk> chunks_;
    QByteArray ready_;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TWinApiV8 api(std::make_unique<ScriptedLink>(data, size));
    const QByteArray key("12345678");
    QString no, owner, reply;
    api.GetDeviceNo(no, owner);
    QByteArray a, b, k;
    api.ComVerify(QStringLiteral("1A2B3C4D"), TWinApiV8::DiverseKey(QStringLiteral("1A2B3C4D")), a, b, k);
    api.GetLoftInfo(key, QStringLiteral("OwnerName%City"), reply);
    int count = -1;
    if (api.QueryPigeons(key, QString(), count, reply) && (count < 0 || count > 9999))
        std::abort(); // counts beyond what a clock holds are refused
    api.GetLogInfo(key, 0, reply);
    api.GetClubAntennaID(QString(), reply);
    return 0;
}
