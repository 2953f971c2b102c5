#pragma once
// The password code: a weighted byte sum of a password, stored in place of
// the password itself (Tester.secret).
#include <QString>

namespace kv {

// Eight position weights, of 7, 6, 5, 4, 3, 2, 1 and 7 decimal digits. They
// are fixed for every database of the system: a database written with other
// weights does not accept its stored passwords.
inline constexpr quint32 PasswordWeights[8] = {
    4719023u, 382961u, 57203u, 8317u, 641u, 29u, 7u, 6295817u};

// 0 when the password has fewer than 3 or more than 8 bytes; otherwise the
// sum of byte x weight of its position in 32-bit wrap-around arithmetic.
// Blanks are bytes like any other (the caller decides about trimming).
qint32 PasswordCode(const QString &password);

// The length the code counts: the bytes of the password's UTF-8 text. The
// user dialogs check this length so that every password they accept has a
// code (a Chinese character counts three).
int PasswordByteLength(const QString &password);
inline constexpr int MinPasswordBytes = 3;
inline constexpr int MaxPasswordBytes = 8;

} // namespace kv
