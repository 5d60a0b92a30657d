#pragma once

#include <QByteArray>
#include <QString>

// The settings file: INI text with "[Section]" lines and "key=value" entries, single-byte
// characters, CR LF line ends. Section and key names match without regard to case. Writing a
// key replaces its value in place; a missing key is added at the end of its section and a
// missing section at the end of the file. Every line this class does not change is written
// back byte for byte, so comments, unknown sections and hand edits survive a run of the program.
//
// Reading never fails: a missing or unreadable file reads as empty, and damaged content is
// taken line by line for what can be understood of it.
class SettingsFile {
public:
    explicit SettingsFile(const QString& path);

    const QString& path() const { return path_; }

    // The value of section/key as a 32-bit integer: optional sign, then decimal digits or "0x"
    // and hexadecimal digits, surrounded by blanks at most. A missing key, any other text or a
    // value outside 32 bits gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // A flag is read as an integer; any value other than 0 is true.
    bool readBool(const QString& section, const QString& key, bool def) const;

    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);  // "1" or "0"

    // Writes the whole file (CR LF line ends), replacing it atomically. Does nothing when nothing
    // was written since the last flush; after any write it always writes. On failure returns false
    // and, when error is given, a message naming the file and the reason.
    bool flush(QString* error = nullptr);

    // Deletes the file; the object then reads as empty, as if opened on a missing file.
    // True when no file is left at the path.
    bool remove();

private:
    struct Entry;
    Entry find(const QByteArray& section, const QByteArray& key) const;
    void write(const QString& section, const QString& key, const QByteArray& value);
    void load();

    QString path_;
    // The file's lines with their line ends cut off, each followed by a single '\n'. Lines never
    // contain CR or LF, so this holds the content exactly while the original line ends (CR LF,
    // LF or CR) are normalised; flush() writes the '\n' back as CR LF.
    QByteArray text_;
    bool dirty_ = false;
};
