#include "JetText.h"

#include <QtEndian>

// Appends one segment: single bytes as Latin-1 characters, or UTF-16LE pairs.
static bool appendSegment(QString& text, QByteArrayView segment, bool compressed)
{
    if (compressed) {
        text += QString::fromLatin1(segment.data(), segment.size());
        return true;
    }
    if (segment.size() % 2 != 0)
        return false;
    const auto* data = reinterpret_cast<const uchar*>(segment.data());
    for (qsizetype i = 0; i < segment.size(); i += 2)
        text += QChar(qFromLittleEndian<quint16>(data + i));
    return true;
}

std::optional<QString> decodeJetText(QByteArrayView bytes)
{
    QString text;
    const bool compressed =
        bytes.size() >= 2 && quint8(bytes[0]) == 0xFF && quint8(bytes[1]) == 0xFE;
    if (!compressed)
        return appendSegment(text, bytes, false) ? std::optional(text) : std::nullopt;
    bool oneByte = true;
    qsizetype segmentStart = 2;
    for (qsizetype i = 2; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\0')
            continue;
        if (!appendSegment(text, bytes.sliced(segmentStart, i - segmentStart), oneByte))
            return std::nullopt;
        oneByte = !oneByte;
        segmentStart = i + 1;
    }
    return text;
}
