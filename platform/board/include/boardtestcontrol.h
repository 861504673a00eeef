#pragma once
// Test hooks of the virtual controller board. Not part of the board's protocol: nothing here
// can be reached over the serial line.

#include <QByteArray>
#include <QtGlobal>

#include <vector>

namespace vboard {

class VirtualBoard;

enum class HandshakeMode {
    Normal,  // the echo, which the program decodes as the handshake
    Wrong,   // a well-formed frame that is no handshake
    Silent,  // no answer to 0xA1
};

class BoardTestControl {
public:
    explicit BoardTestControl(VirtualBoard& board);

    // A silent board reads the line but neither answers nor acts, nor reports events.
    void setSilent(bool silent);
    // The next count frames leave with one bit of their checksum flipped.
    void corruptNextReplies(int count);
    // The next frame leaves in pieces cut at the given byte offsets, gapMs apart.
    void splitNextReply(const std::vector<int>& cuts, int gapMs);
    // The next count requests are answered with a repeat request (0xEE) and not carried out.
    void requestRepeats(int count);
    // The next count requests with this command code are read but neither answered nor carried
    // out, as by a board that missed them; other requests are served as usual.
    void ignoreRequests(quint8 code, int count);
    // The next count requests with this command code are carried out and answered delayMs after
    // they arrive, as by a board still busy with its lamps; other requests are served as usual.
    void delayRequests(quint8 code, int delayMs, int count);
    void setHandshake(HandshakeMode mode);
    // Least pause between two frames the board sends (120 ms by default, well above the
    // program's 50 ms end-of-reply silence so that each frame reaches it alone).
    void setFrameGapMs(int ms);
    // Writes bytes as they are, behind the frames already queued.
    void sendRaw(const QByteArray& bytes);

    // Requests received with a good checksum, in order of arrival.
    std::vector<QByteArray> receivedFrames() const;
    // Frames received with a wrong checksum.
    int badFrameCount() const;
    // Everything the board has written, frame by frame (pieces of a split frame separately).
    std::vector<QByteArray> sentFrames() const;
    void clearLogs();
    // Waits until at least count requests have been received; false at the deadline.
    bool waitForReceived(size_t count, int timeoutMs) const;

private:
    VirtualBoard& m_board;
};

} // namespace vboard
