#include "boardprotocol.h"

namespace vboard {

namespace {
constexpr char kStart1 = char(0x68);
constexpr char kStart2 = char(0xA0);
constexpr char kEnd = '<';

quint8 xorOf(const QByteArray& bytes, int from, int to)
{
    quint8 sum = 0;
    for (int i = from; i < to; ++i)
        sum ^= static_cast<quint8>(bytes.at(i));
    return sum;
}
} // namespace

QByteArray echoFrame(const QByteArray& request)
{
    QByteArray reply;
    reply.reserve(request.size() + 3);
    reply.append(kStart1);
    reply.append(request);
    reply.append(kEnd);
    reply.append(kEnd);
    return reply;
}

QByteArray reportFrame(quint8 code, quint8 status, const QByteArray& data)
{
    QByteArray body;
    body.append(kStart1);
    body.append(kStart2);
    body.append(static_cast<char>(code));
    body.append(static_cast<char>(status));
    body.append(data);
    body.append(static_cast<char>(xorOf(body, 0, body.size())));
    return echoFrame(body);
}

RequestParser::Result RequestParser::feed(const QByteArray& bytes)
{
    Result result;
    m_buffer.append(bytes);
    int pos = 0;
    while (pos < m_buffer.size()) {
        if (m_buffer.at(pos) != kStart1) {
            ++pos;
            continue;
        }
        if (pos + 1 >= m_buffer.size())
            break;
        if (m_buffer.at(pos + 1) != kStart2) {
            ++pos;
            continue;
        }
        if (pos + 4 > m_buffer.size())
            break;
        const int length = static_cast<quint8>(m_buffer.at(pos + 3));
        const int total = 5 + length;
        if (pos + total > m_buffer.size())
            break;
        const QByteArray frame = m_buffer.mid(pos, total);
        if (xorOf(frame, 0, total - 1) != static_cast<quint8>(frame.at(total - 1))) {
            ++result.badFrames;
        } else {
            Request request;
            request.code = static_cast<quint8>(frame.at(2));
            request.data = frame.mid(4, length);
            request.frame = frame;
            result.requests.push_back(request);
        }
        pos += total;
    }
    m_buffer.remove(0, pos);
    return result;
}

} // namespace vboard
