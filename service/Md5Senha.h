#pragma once

#include <QString>

// The "senha" of "/login": MD5 of the password's 7-bit bytes (every code unit above 127 becomes
// "?"), as 32 lower-case hexadecimal digits.
QString Md5Senha(const QString &senha);
