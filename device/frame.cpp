#include "device/frame.h"

quint8 Frame::fcs(const char *data, int count)
{
    quint8 sum = 0;
    for (int i = 0; i < count; ++i)
        sum = quint8(sum + quint8(data[i]));
    return sum;
}

quint8 Frame::fcs(const QByteArray &bytes)
{
    return fcs(bytes.constData(), int(bytes.size()));
}

std::optional<QByteArray> Frame::request(quint8 adr, quint8 cmd, const QByteArray &body)
{
    if (body.size() > MaxRequestBody)
        return std::nullopt;
    QByteArray f;
    f.reserve(int(body.size()) + 5);
    f += char(StartByte);
    f += char(adr);
    f += char(cmd);
    f += char(body.size());
    f += body;
    f += char(fcs(f));
    return f;
}

Frame::ReplyState Frame::replyState(const QByteArray &received)
{
    if (received.size() < MinReply)
        return ReplyState::Incomplete;
    const int len = quint8(received.at(3));
    return received.size() == len + 5 ? ReplyState::Complete : ReplyState::Incomplete;
}

Frame::Reply Frame::parseReply(const QByteArray &frame)
{
    Reply r;
    if (frame.size() < 6)
        return r;
    r.fcsOk = fcs(frame.constData(), int(frame.size()) - 1) == quint8(frame.back());
    r.status = quint8(frame.at(4));
    r.body = frame.mid(5, frame.size() - 6);
    return r;
}

QByteArray Frame::reply(quint8 adr, quint8 cmd, quint8 status, const QByteArray &body)
{
    QByteArray f;
    f += char(StartByte);
    f += char(adr);
    f += char(cmd);
    f += char(quint8(body.size() + 1));
    f += char(status);
    f += body;
    f += char(fcs(f));
    return f;
}

int Frame::requestSize(const QByteArray &buf)
{
    return buf.size() < 4 ? 0 : quint8(buf.at(3)) + 5;
}

Frame::Request Frame::parseRequest(const QByteArray &frame)
{
    Request r;
    if (frame.size() < 5)
        return r;
    r.adr = quint8(frame.at(1));
    r.cmd = quint8(frame.at(2));
    r.body = frame.mid(4, frame.size() - 5);
    r.fcsOk = fcs(frame.constData(), int(frame.size()) - 1) == quint8(frame.back()) &&
              quint8(frame.at(3)) == frame.size() - 5;
    return r;
}
