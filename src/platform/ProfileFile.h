#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// A profile (INI) file: "[section]" header lines, each followed by
// "key=value" lines. Section and key names match without regard to letter
// case; where a name occurs twice, the first occurrence counts. Lines
// starting with ';' are comments. Names and values are UTF-8 text; a
// byte-order mark is skipped at the start of the file only, elsewhere
// U+FEFF is a character of the name or value it starts.
//
// The file is read once, when the object is made; a file that is absent or
// cannot be read counts as empty. Writes change the copy in memory, and
// Save() puts the whole copy in place at once. A write replaces the value
// of an existing key in its line, appends a missing key after the last line
// of its section, and appends a missing section at the end of the file;
// every other line stays byte for byte as it was, line end included. Lines
// that are written end in CR LF.
class TProfileFile {
public:
    explicit TProfileFile(QString path);

    const QString& Path() const { return FPath; }

    // The value of `key` in `section`, with blanks around it removed and a
    // pair of enclosing quotation marks (single or double) taken off;
    // `fallback` when the file, the section or the key is absent.
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;

    // Sets `key` in `section` to `value` in memory. Line breaks in `value`
    // become blanks, so a value never spills into a line of its own.
    void WriteString(const QString& section, const QString& key, const QString& value);

    // The content as Save() would write it.
    QByteArray Content() const;

    // Whether Save() can put the file in place: the folder it goes to (that
    // of a link's target) must take new files, for the effective user, and
    // the file, where it exists, must be writable: it carries a write
    // permission bit and opens for writing. A file without any write bit
    // counts as read-only also for root, who could otherwise write it: the
    // bits are the owner's statement that it must not change. Changes
    // nothing.
    bool CanWrite() const;

    // Writes the content: checks CanWrite() first, then writes a temporary
    // file in the same folder and renames it over the file once it is
    // complete, so the file is either the old one or the new one, never half
    // written. A symbolic link is kept and its target replaced; the file
    // keeps its permission bits, and its owner and group where the saver
    // may give them (root may). The file is never rewritten in
    // place: where no temporary file can be made, the save fails. False on
    // any failure; the file is then unchanged.
    bool Save();

private:
    struct TLine {
        QByteArray Text; // without the line end
        QByteArray End;  // "\r\n", "\n" or empty for a last line without one
    };

    // The index of the header line of `section`, or -1.
    qsizetype FindSection(const QString& section) const;
    // The index of `key`'s line in the section starting at header `header`,
    // or -1; `end` receives the index of the section's end (the next header
    // or the line count).
    qsizetype FindKey(qsizetype header, const QString& key, qsizetype* end) const;
    // Gives the last line a line end, so that a line can follow it.
    void TerminateLast();

    QString FPath;
    QList<TLine> FLines;
};

} // namespace platform
