#include "PasswordCode.h"

#include <QByteArray>

namespace kv {

qint32 PasswordCode(const QString &password)
{
    // The bytes are those of the UTF-8 text: the same on every machine
    // whatever its locale, and identical to the single-byte code page for
    // the ASCII passwords the operators type. A Chinese character counts
    // three bytes.
    const QByteArray bytes = password.toUtf8();
    const int n = bytes.size();
    if (n < MinPasswordBytes || n > MaxPasswordBytes)
        return 0;
    quint32 sum = 0; // unsigned: wrap-around is defined
    for (int i = 0; i < n; ++i)
        sum += quint32(static_cast<unsigned char>(bytes[i])) * PasswordWeights[i];
    // Two's-complement reinterpretation without implementation-defined casts.
    if (sum <= 0x7FFFFFFFu)
        return qint32(sum);
    return -qint32(~sum) - 1;
}

int PasswordByteLength(const QString &password) { return password.toUtf8().size(); }

} // namespace kv
