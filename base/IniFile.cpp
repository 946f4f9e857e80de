#include "base/IniFile.h"

#include "base/Exception.h"
#include "base/Windows1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// "[name]" gives name; any other line gives a null text.
QString sectionName(const QString &line) {
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool isComment(const QString &line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

QString keyOf(const QString &line) {
    if (isComment(line))
        return {};
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq).trimmed();
}

// Files written by the Windows program are in its ANSI code page; those written here are UTF-8.
QString decode(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return Windows1252::toUnicode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

IniFile::IniFile(const QString &path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        *this = fromText(decode(file.readAll()));
}

IniFile IniFile::fromText(const QString &text) {
    IniFile ini;
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ini.m_lines = normalised.split(QLatin1Char('\n'));
    if (!ini.m_lines.isEmpty() && ini.m_lines.last().isEmpty())
        ini.m_lines.removeLast();
    return ini;
}

QString IniFile::text() const {
    QString out;
    for (const QString &line : m_lines)
        out += line + QLatin1Char('\n');
    return out;
}

IniFile::Position IniFile::find(const QString &section, const QString &key) const {
    Position pos;
    bool inside = false;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString name = sectionName(m_lines[i]);
        if (!name.isNull()) {
            if (inside)
                break; // the wanted section ended
            inside = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inside && pos.sectionStart < 0) {
                pos.sectionStart = i;
                pos.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        const QString k = keyOf(m_lines[i]);
        if (!k.isEmpty()) {
            pos.sectionEnd = i + 1;
            if (pos.keyLine < 0 && k.compare(key, Qt::CaseInsensitive) == 0)
                pos.keyLine = i;
        }
    }
    return pos;
}

bool IniFile::contains(const QString &section, const QString &key) const {
    return find(section, key).keyLine >= 0;
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const {
    const Position pos = find(section, key);
    if (pos.keyLine < 0)
        return fallback;
    const QString &line = m_lines[pos.keyLine];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value) {
    const QString line = key + QLatin1Char('=') + value;
    const Position pos = find(section, key);
    if (pos.keyLine >= 0) {
        m_lines[pos.keyLine] = line;
    } else if (pos.sectionStart >= 0) {
        m_lines.insert(pos.sectionEnd, line);
    } else {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(line);
    }
}

void IniFile::remove(const QString &section, const QString &key) {
    for (int line = find(section, key).keyLine; line >= 0; line = find(section, key).keyLine)
        m_lines.removeAt(line);
}

void IniFile::save(const QString &path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Exception(
            QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2").arg(path, file.errorString()));
    }
    file.write(text().toUtf8());
    if (!file.commit())
        throw Exception(
            QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2").arg(path, file.errorString()));
}
