#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The text of an INI file, read and changed the way the workstations' profile
// functions do it, so a file the whole suite shares keeps every byte that was
// not asked to change: line ends, spacing, comments, duplicate keys, lines
// without "=", the encoding (the code page, or UTF-16/UTF-8 after a byte-order
// mark).
//
// A section starts at a line "[name]"; a key is a line "name=value" inside it.
// Names compare without regard to case (accented letters included) or their
// surrounding blanks; the first of duplicate keys wins; a value loses its
// surrounding blanks and double quotes.
class IniText
{
public:
    explicit IniText(QByteArray bytes = {});

    std::optional<QString> value(const QString& section, const QString& key) const;

    // Changes only that key's line (the first one), or adds the key at the end
    // of its section, or the section at the end of the file. Returns false,
    // changing nothing, when the key already holds the value. What could not
    // be read back as given raises a run-time error, changing nothing: a line
    // break in a name or the value, "=" in the key or "[" at its start, "]"
    // in the section, a character the file's code page does not have.
    bool setValue(const QString& section, const QString& key, const QString& value);

    const QByteArray& bytes() const { return m_bytes; }

private:
    enum class Encoding
    {
        CodePage,
        Utf8,
        Utf16Le,
        Utf16Be
    };
    struct Line
    {
        qsizetype start; // first byte
        qsizetype end;   // end of the text, before the line break
        qsizetype next;  // after the line break
        QString text;
    };
    struct Found
    {
        std::optional<qsizetype> key;     // the key's line
        std::optional<qsizetype> section; // the last line worth keeping in its section
    };

    void checkStorable(const QString& section, const QString& key, const QString& value) const;
    QList<Line> lines() const;
    Found find(const QList<Line>& lines, const QString& section, const QString& key) const;
    QByteArray encode(const QString& text) const;
    QString lineBreak(const QList<Line>& lines) const;
    // Where the line's first "=" starts in the file.
    qsizetype equalByte(const Line& line) const;

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::CodePage;
    int m_unit = 1;
    qsizetype m_bom = 0;
};
