#pragma once
// A reply as the controller board sends it, for the tests of the program's decoder:
//   68 | 68 A0 <code> <status> <data...> <xor of the bytes after the first> | 3C 3C

#include <QByteArray>

inline QByteArray boardReply(quint8 code, quint8 status, const QByteArray& data = QByteArray())
{
    QByteArray body("\x68\xA0", 2);
    body.append(char(code));
    body.append(char(status));
    body.append(data);
    quint8 sum = 0;
    for (char c : body)
        sum ^= quint8(c);
    body.append(char(sum));
    return QByteArray(1, char(0x68)) + body + "<<";
}
