#pragma once

#include <QString>
#include <QStringList>

// An INI file edited in place: reading and writing a key leaves every other line as it was
// (comments, blank lines, unknown keys and other sections), so several parts of the program
// can share one file without erasing each other's settings. Section and key names are
// matched without regard to letter case, as Windows INI files are.
class IniFile {
public:
    IniFile() = default;
    // Reads the file; a file that does not exist or cannot be read gives an empty one.
    explicit IniFile(const QString &path);

    bool contains(const QString &section, const QString &key) const;
    // The value as written after the first "=", blanks around it removed; `fallback` when
    // the key is missing.
    QString value(const QString &section, const QString &key, const QString &fallback = QString()) const;
    // Replaces the value in place, or appends the key at the end of its section (the
    // section is appended at the end of the file when missing).
    void setValue(const QString &section, const QString &key, const QString &value);
    // Takes the key's line out (every one, should the key be written twice); the section stays.
    void remove(const QString &section, const QString &key);

    // Writes every line back (UTF-8, LF ends). Throws Exception with the system's text.
    void save(const QString &path) const;

    QString text() const;
    static IniFile fromText(const QString &text);

private:
    struct Position {
        int sectionStart = -1; // index of the "[name]" line, -1 when missing
        int sectionEnd = -1;   // one past the section's last key line
        int keyLine = -1;      // index of the key's line, -1 when missing
    };
    Position find(const QString &section, const QString &key) const;

    QStringList m_lines;
};
