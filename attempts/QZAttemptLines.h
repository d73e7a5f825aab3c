// The line format of attempt records, shared by the writer and the reader
// inside this library.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Corvella {

// Hex digits of the checksum at the start of every line.
constexpr int ChecksumLength = 64;

// SHA-256 of `data` as 64 lowercase hex digits.
QByteArray Sha256Hex(QByteArrayView data);
bool IsLowerHex(QByteArrayView text);

} // namespace Corvella
