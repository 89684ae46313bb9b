#include "link/frame.h"

#include <algorithm>
#include <cstring>

QByteArray encodeFrame(const QByteArray &payload)
{
    const int n = payload.size();
    const quint16 length = quint16(n + 2);

    QByteArray frame;
    frame.reserve(n + kFrameOverhead);
    frame.append(char(kFrameHeader0));
    frame.append(char(kFrameHeader1));
    frame.append(char(length >> 8));
    frame.append(char(length & 0xFF));
    frame.append(payload);

    quint16 sum = 0;
    for (const char c : qAsConst(frame))
        sum = quint16(sum + quint8(c));
    frame.append(char(sum >> 8));
    frame.append(char(sum & 0xFF));
    return frame;
}

void FrameAssembler::reset()
{
    m_state = 0;
    m_sum = 0;
    m_length = 0;
    m_count = 0;
    m_received = 0;
}

QList<QByteArray> FrameAssembler::feed(const char *data, qsizetype size)
{
    QList<QByteArray> payloads;
    run(data, size, [&payloads](QByteArray &&p) { payloads.append(std::move(p)); });
    return payloads;
}

QList<QByteArray> FrameAssembler::feed(const QByteArray &bytes)
{
    return feed(bytes.constData(), bytes.size());
}

void FrameAssembler::feed(const char *data, qsizetype size, const PayloadHandler &onPayload)
{
    run(data, size, [&onPayload](QByteArray &&p) { onPayload(p); });
}

// One pass over the bytes. Hunting for the header and copying the payload
// are done on whole runs of bytes; every other state consumes one byte.
// All arithmetic on the sum, the length, the count and the received checksum
// is modulo 65536.
template <typename Sink> void FrameAssembler::run(const char *data, qsizetype size, Sink &&sink)
{
    const auto *p = reinterpret_cast<const quint8 *>(data);
    const quint8 *const end = p + size;

    while (p < end) {
        switch (m_state) {
        case 0: {
            const void *header = std::memchr(p, kFrameHeader0, size_t(end - p));
            if (!header) {
                p = end;
                break;
            }
            p = static_cast<const quint8 *>(header) + 1;
            m_sum = kFrameHeader0;
            m_state = 1;
            break;
        }
        case 1: {
            const quint8 b = *p++;
            if (b == kFrameHeader1) {
                m_sum = quint16(m_sum + b);
                m_state = 2;
            } else if (b == kFrameHeader0) {
                m_sum = kFrameHeader0;
            } else {
                m_state = 0;
            }
            break;
        }
        case 2: {
            const quint8 b = *p++;
            m_sum = quint16(m_sum + b);
            m_length = quint16(b << 8);
            m_state = 3;
            break;
        }
        case 3: {
            const quint8 b = *p++;
            m_sum = quint16(m_sum + b);
            m_length = quint16(m_length + b);
            m_count = 0;
            // A length of 2 or less carries no payload; one above
            // kMaxPayload + 2 would not fit the payload buffer. Either way
            // the frame is dropped and the hunt for the next header begins.
            if (m_length > 2 && m_length <= kMaxPayload + 2) {
                m_length = quint16(m_length - 2);
                m_state = 4;
            } else {
                m_state = 0;
            }
            break;
        }
        case 4:
            if (m_count < m_length) {
                const qsizetype take = std::min<qsizetype>(m_length - m_count, end - p);
                std::memcpy(m_payload + m_count, p, size_t(take));
                quint32 sum = 0;
                for (qsizetype i = 0; i < take; ++i)
                    sum += p[i];
                m_sum = quint16(m_sum + sum);
                m_count = quint16(m_count + take);
                p += take;
            } else {
                m_received = quint16(*p++ << 8);
                m_state = 5;
            }
            break;
        case 5: {
            const quint8 b = *p++;
            m_received = quint16(m_received + b);
            if (m_received == m_sum) {
                m_state = 0;
                sink(QByteArray(m_payload, m_count));
            } else if (b == kFrameHeader0) {
                // The byte that broke the checksum may open the next frame.
                m_sum = kFrameHeader0;
                m_state = 1;
            } else {
                m_state = 0;
            }
            break;
        }
        }
    }
}
