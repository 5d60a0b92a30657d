#include "settings/SettingsFile.h"

#include <cstring>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A settings file is a few hundred bytes. Anything larger than this is not one of ours (a file
// copied over it, a disk error): it is read as empty, and the next flush replaces it with the
// program's own keys. Checking the size keeps a damaged file from costing memory or time.
constexpr qsizetype MaxFileSize = 4 * 1024 * 1024;
// Lines longer than this are kept and written back, but not looked into.
constexpr qsizetype MaxLineLength = 64 * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// ASCII case folding is enough: every section and key name of the program is plain ASCII, and
// a name with other bytes simply does not match.
char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when text[begin, end), without surrounding blanks, is `name` apart from case.
bool sameName(const char* text, qsizetype begin, qsizetype end, const QByteArray& name)
{
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (end - begin != name.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (foldCase(text[begin + i]) != foldCase(name[i]))
            return false;
    }
    return true;
}

// Position of c in text[from, to), or `to` when it is not there. The search stays inside one line,
// so a file full of lines without '=' or ']' is still read in linear time.
qsizetype findInLine(const char* text, qsizetype from, qsizetype to, char c)
{
    const void* hit = std::memchr(text + from, c, static_cast<size_t>(to - from));
    return hit ? static_cast<const char*>(hit) - text : to;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Parses [sign] digits, or [sign] "0x" hex digits, with optional surrounding blanks. A decimal
// value must lie in the range of a signed 32-bit integer. A hexadecimal value is taken as a
// 32-bit pattern (up to 8 significant digits, so 0xFFFFFFFF is -1) and a sign negates it.
bool parseInteger(const char* p, qsizetype n, int* out)
{
    qsizetype b = 0, e = n;
    while (b < e && isBlank(p[b]))
        ++b;
    while (e > b && isBlank(p[e - 1]))
        --e;
    bool negative = false;
    if (b < e && (p[b] == '+' || p[b] == '-')) {
        negative = p[b] == '-';
        ++b;
    }
    if (b >= e)
        return false;

    if (e - b >= 2 && p[b] == '0' && (p[b + 1] == 'x' || p[b + 1] == 'X')) {
        b += 2;
        if (b >= e)
            return false;
        quint64 magnitude = 0;
        for (; b < e; ++b) {
            const int d = hexDigit(p[b]);
            if (d < 0)
                return false;
            magnitude = magnitude * 16 + static_cast<quint64>(d);
            if (magnitude > 0xFFFFFFFFu)
                return false;
        }
        quint32 bits = static_cast<quint32>(magnitude);
        if (negative)
            bits = 0u - bits;
        *out = static_cast<qint32>(bits);
        return true;
    }

    qint64 magnitude = 0;
    for (; b < e; ++b) {
        if (p[b] < '0' || p[b] > '9')
            return false;
        magnitude = magnitude * 10 + (p[b] - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    if (!negative && magnitude > 2147483647LL)
        return false;
    *out = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace

// Where find() located a key, or where a missing one belongs. Offsets index text_.
struct SettingsFile::Entry {
    qsizetype valueBegin = -1;  // first byte of the value (after '=' and its blanks); -1: key missing
    qsizetype lineEnd = -1;     // the '\n' that ends the key's line
    qsizetype insertAt = -1;    // start of the line after the section's last key line, or after
                                // its header; -1: section missing
};

SettingsFile::SettingsFile(const QString& path) : path_(path)
{
    load();
}

void SettingsFile::load()
{
    text_.clear();
    const QFileInfo info(path_);
    // Only a regular file is read: a directory or a device in its place reads as empty (and a
    // pipe would block the start-up).
    if (!info.exists() || !info.isFile())
        return;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray raw = file.read(MaxFileSize + 1);
    if (raw.size() > MaxFileSize)
        return;  // not a settings file; see MaxFileSize

    // Every kind of line end (CR LF, LF, lone CR) becomes one '\n'; a last line without a line
    // end gets one.
    text_.reserve(raw.size() + 1);
    const char* d = raw.constData();
    const qsizetype n = raw.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == '\r') {
            text_.append('\n');
            if (i + 1 < n && d[i + 1] == '\n')
                ++i;
        } else {
            text_.append(d[i]);
        }
    }
    if (!text_.isEmpty() && !text_.endsWith('\n'))
        text_.append('\n');
}

SettingsFile::Entry SettingsFile::find(const QByteArray& section, const QByteArray& key) const
{
    Entry entry;
    const char* d = text_.constData();
    const qsizetype n = text_.size();
    bool inSection = false;       // inside a section of the wanted name
    bool inFirstSection = false;  // inside the first of them, where missing keys are added
    bool sectionSeen = false;

    for (qsizetype pos = 0; pos < n;) {
        const qsizetype end = text_.indexOf('\n', pos);  // text_ always ends with '\n'
        const qsizetype next = end + 1;
        qsizetype b = pos;
        // A UTF-8 byte-order mark, as some editors write one, does not hide the first section.
        if (pos == 0 && end >= 3 && text_.startsWith("\xEF\xBB\xBF"))
            b = 3;
        if (end - pos <= MaxLineLength) {
            while (b < end && isBlank(d[b]))
                ++b;
            if (b < end && d[b] == '[') {
                const qsizetype close = findInLine(d, b + 1, end, ']');
                inSection = sameName(d, b + 1, close, section);
                inFirstSection = inSection && !sectionSeen;
                if (inFirstSection) {
                    sectionSeen = true;
                    entry.insertAt = next;
                }
            } else if (inSection && b < end && d[b] != ';' && d[b] != '#') {
                const qsizetype eq = findInLine(d, b, end, '=');
                if (eq < end) {
                    if (sameName(d, b, eq, key)) {
                        // The first entry of the name wins, in whichever section of that name.
                        qsizetype v = eq + 1;
                        while (v < end && isBlank(d[v]))
                            ++v;
                        entry.valueBegin = v;
                        entry.lineEnd = end;
                        return entry;
                    }
                    if (inFirstSection)
                        entry.insertAt = next;
                }
            }
        }
        pos = next;
    }
    return entry;
}

int SettingsFile::readInteger(const QString& section, const QString& key, int def) const
{
    const Entry entry = find(section.toLatin1(), key.toLatin1());
    if (entry.valueBegin < 0)
        return def;
    int value = 0;
    if (!parseInteger(text_.constData() + entry.valueBegin, entry.lineEnd - entry.valueBegin, &value))
        return def;
    return value;
}

bool SettingsFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void SettingsFile::writeInteger(const QString& section, const QString& key, int value)
{
    write(section, key, QByteArray::number(value));
}

void SettingsFile::writeBool(const QString& section, const QString& key, bool value)
{
    write(section, key, value ? QByteArrayLiteral("1") : QByteArrayLiteral("0"));
}

void SettingsFile::write(const QString& section, const QString& key, const QByteArray& value)
{
    const QByteArray sectionName = section.toLatin1();
    const QByteArray keyName = key.toLatin1();
    const Entry entry = find(sectionName, keyName);
    if (entry.valueBegin >= 0) {
        // Only the value changes; the key keeps its spelling, its blanks and its place.
        text_.replace(entry.valueBegin, entry.lineEnd - entry.valueBegin, value);
    } else if (entry.insertAt >= 0) {
        text_.insert(entry.insertAt, keyName + '=' + value + '\n');
    } else {
        // A new section starts after one blank line, unless the file already ends with one.
        if (!text_.isEmpty() && text_ != "\n" && !text_.endsWith("\n\n"))
            text_.append('\n');
        text_.append('[' + sectionName + "]\n" + keyName + '=' + value + '\n');
    }
    dirty_ = true;
}

bool SettingsFile::flush(QString* error)
{
    if (!dirty_)
        return true;

    QByteArray out;
    out.reserve(text_.size() + text_.count('\n'));
    for (const char c : std::as_const(text_)) {
        if (c == '\n')
            out.append("\r\n", 2);
        else
            out.append(c);
    }

    // QSaveFile writes a temporary file next to the target and renames it over the old one, so a
    // failure half-way leaves the previous settings intact.
    QSaveFile file(path_);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(out) == out.size();
    if (ok)
        ok = file.commit();
    if (!ok) {
        if (error) {
            *error = QStringLiteral("Cannot write the settings file \"%1\": %2")
                         .arg(QDir::toNativeSeparators(path_), file.errorString());
        }
        return false;
    }
    dirty_ = false;
    return true;
}

bool SettingsFile::remove()
{
    if (QFileInfo::exists(path_) && !QFile::remove(path_))
        return false;
    text_.clear();
    dirty_ = false;
    return true;
}
