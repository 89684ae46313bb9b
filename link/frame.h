#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

// Wire frame shared by both directions of the instrument link:
//
//   AA 55 | L (2 bytes, big-endian) | payload (L - 2 bytes) | checksum (2 bytes)
//
// L counts the payload and the checksum, not the header and the length field.
// The checksum is the sum of every byte before it (header, length field and
// payload) modulo 65536, sent high byte first.

// First two bytes of every frame.
constexpr quint8 kFrameHeader0 = 0xAA;
constexpr quint8 kFrameHeader1 = 0x55;
// Header, length field and checksum around the payload.
constexpr int kFrameOverhead = 6;

// Wraps `payload` into a complete frame. The payload must be shorter than
// 65534 bytes for its length to fit the length field.
QByteArray encodeFrame(const QByteArray &payload);

// Splits a received byte stream into frame payloads. Bytes may arrive in any
// split; state carries over from one feed to the next. Only frames with a
// correct header, a length field above 2 (at least one payload byte), a
// payload of at most kMaxPayload bytes and a matching checksum yield a
// payload. Anything else is skipped up to the next 0xAA, with one refinement:
// when a checksum does not match and its last byte is 0xAA, that byte is taken
// as the start of the next frame.
//
// Work is linear in the bytes given; no byte is copied more than once.
class FrameAssembler
{
public:
    // Longest payload accepted. Frames announcing more are dropped.
    static constexpr int kMaxPayload = 4096;

    using PayloadHandler = std::function<void(const QByteArray &payload)>;

    // Consumes `size` bytes and returns the payloads completed by them, in
    // stream order.
    QList<QByteArray> feed(const char *data, qsizetype size);
    QList<QByteArray> feed(const QByteArray &bytes);

    // Consumes `size` bytes and hands each completed payload to `onPayload`
    // as soon as its checksum has been verified. The assembler's state is
    // already settled for the next byte when `onPayload` runs.
    void feed(const char *data, qsizetype size, const PayloadHandler &onPayload);

    // Forgets any partly received frame.
    void reset();

    // Position in the frame: 0 hunting for AA, 1 after AA, 2 after AA 55,
    // 3 after the length's high byte, 4 in the payload, 5 after the
    // checksum's high byte.
    int state() const { return m_state; }

private:
    template <typename Sink> void run(const char *data, qsizetype size, Sink &&sink);

    int m_state = 0;
    quint16 m_sum = 0;
    quint16 m_length = 0;   // payload length once the length field is complete
    quint16 m_count = 0;    // payload bytes received so far
    quint16 m_received = 0; // checksum as received
    char m_payload[kMaxPayload];
};
