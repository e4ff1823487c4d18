#pragma once

#include <QByteArray>
#include <optional>

// The serial frame, as pure functions over bytes.
//   request: 6C ADR CMD LEN PARM[LEN] FCS
//   reply:   SD1 ADR CMD LEN STATUS PARM[LEN-1] FCS
// FCS is the sum of all preceding bytes modulo 256. No frame is longer than 255 bytes.
namespace Frame {
constexpr quint8 StartByte = 0x6C;
constexpr quint8 DeviceAddress = 0x21;
constexpr quint8 AntennaAddress = 0x00;
constexpr int MaxFrame = 255;
constexpr int MaxRequestBody = MaxFrame - 5;
constexpr int MinReply = 8; // shorter replies are never taken as complete

enum Command : quint8
{
    Json = 0xC0,
    Verify = 0xC1,
    Init = 0xC2,
    DeviceNo = 0xC3,
    Display = 0xC4,
    AntennaId = 0xBD,
};

// Additive check byte over the first count bytes.
quint8 fcs(const char *data, int count);
quint8 fcs(const QByteArray &bytes);

// The request frame, or nothing when the body does not fit.
std::optional<QByteArray> request(quint8 adr, quint8 cmd, const QByteArray &body);

enum class ReplyState
{
    Incomplete,
    Complete
};
// A reply is complete when at least 8 bytes arrived and the total is exactly LEN + 5.
ReplyState replyState(const QByteArray &received);

struct Reply
{
    bool fcsOk = false;
    quint8 status = 0;
    QByteArray body; // LEN - 1 bytes after STATUS
};
// Splits a complete reply (see replyState).
Reply parseReply(const QByteArray &frame);

// Device side: the reply frame for a request, and request framing.
QByteArray reply(quint8 adr, quint8 cmd, quint8 status, const QByteArray &body);
// Size of the request frame at the start of buf once its header is known, else 0.
int requestSize(const QByteArray &buf);
struct Request
{
    bool fcsOk = false;
    quint8 adr = 0;
    quint8 cmd = 0;
    QByteArray body;
};
Request parseRequest(const QByteArray &frame);
} // namespace Frame
