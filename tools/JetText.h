#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Decodes the bytes of a Jet 4 text or memo value: UTF-16LE, or the compressed form that starts
// with FF FE, where each byte is a character of U+0000..U+00FF and a zero byte switches between
// one-byte and two-byte characters. Empty when the bytes cannot be a Jet 4 text.
std::optional<QString> decodeJetText(QByteArrayView bytes);
