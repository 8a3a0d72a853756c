#include "platform/IniFile.h"

#include "platform/AtomicFile.h"

#include "common/Messages.h"
#include "platform/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace puente {

namespace {

// Byte order marks.
const QByteArray kUtf16LeBom("\xFF\xFE", 2);
const QString kUtf8BomAsLatin1 = QString::fromLatin1("\xEF\xBB\xBF");

// One line of the file: its text and its line ending ("\r\n", "\n" or, for
// the last line, possibly nothing).
struct Line {
    QString text;
    QString ending;
};

QList<Line> SplitLines(const QString& text) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(u'\n', start);
        if (lf < 0) {
            lines.append({text.mid(start), QString()});
            break;
        }
        const bool cr = lf > start && text.at(lf - 1) == u'\r';
        const qsizetype end = cr ? lf - 1 : lf;
        lines.append({text.mid(start, end - start), cr ? QStringLiteral("\r\n") : QStringLiteral("\n")});
        start = lf + 1;
    }
    return lines;
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView TrimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.mid(b, e - b);
}

bool SameName(QStringView a, QStringView b) { return FoldAsciiLower(a) == FoldAsciiLower(b); }

// The section name of a header line, or a null string when the line is no
// header. `text` has had any byte order mark removed.
QString SectionName(QStringView text) {
    const QStringView t = TrimBlanks(text);
    if (!t.startsWith(u'[')) return QString();
    const qsizetype close = t.lastIndexOf(u']');
    if (close < 1) return QString();
    QString name = TrimBlanks(t.mid(1, close - 1)).toString();
    if (name.isNull()) name = QStringLiteral("");  // "[]" is a header with an empty name
    return name;
}

bool IsBlankLine(QStringView text) { return TrimBlanks(text).isEmpty(); }

QString SetValueInText(const QString& text, const QString& section, const QString& key, const QString& value) {
    QList<Line> lines = SplitLines(text);

    // The file's line ending: the first one found, CRLF when there is none.
    QString eol = QStringLiteral("\r\n");
    for (const Line& l : lines) {
        if (!l.ending.isEmpty()) {
            eol = l.ending;
            break;
        }
    }
    // The text of line i as the parser sees it (without a UTF-8 byte order mark).
    auto parsed = [&](qsizetype i) -> QStringView {
        QStringView t = lines[i].text;
        if (i == 0 && t.startsWith(kUtf8BomAsLatin1)) t = t.mid(kUtf8BomAsLatin1.size());
        return t;
    };

    qsizetype header = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = SectionName(parsed(i));
        if (!name.isNull() && SameName(name, section)) {
            header = i;
            break;
        }
    }

    if (header < 0) {
        // A new section at the end, set off from the text before it by a blank line.
        QString out = text;
        const bool hasText = !lines.isEmpty() && !(lines.size() == 1 && parsed(0).isEmpty());
        if (hasText) {
            if (lines.last().ending.isEmpty()) out += eol;
            const bool endsBlank = IsBlankLine(lines.size() == 1 ? parsed(0) : QStringView(lines.last().text));
            if (!endsBlank) out += eol;
        }
        out += u'[' + section + u']' + eol + key + u'=' + value + eol;
        return out;
    }

    qsizetype end = header + 1;  // one past the section's last line
    while (end < lines.size() && SectionName(parsed(end)).isNull()) ++end;

    for (qsizetype i = header + 1; i < end; ++i) {
        const QString& t = lines[i].text;
        const qsizetype eq = t.indexOf(u'=');
        const QStringView name = TrimBlanks(eq < 0 ? QStringView(t) : QStringView(t).left(eq));
        if (name.isEmpty() || !SameName(name, key)) continue;
        if (eq < 0) {
            // A key without "=": it gets one, and the value.
            lines[i].text = t + u'=' + value;
        } else {
            qsizetype v = eq + 1;
            while (v < t.size() && IsBlank(t.at(v))) ++v;
            lines[i].text = t.left(v) + value;
        }
        QString out;
        for (const Line& l : lines) out += l.text + l.ending;
        return out;
    }

    // A new entry after the section's last non-blank line.
    qsizetype last = end - 1;
    while (last > header && IsBlankLine(lines[last].text)) --last;
    if (lines[last].ending.isEmpty()) lines[last].ending = eol;
    lines.insert(last + 1, {key + u'=' + value, eol});
    QString out;
    for (const Line& l : lines) out += l.text + l.ending;
    return out;
}

}  // namespace

QByteArray SetIniValue(const QByteArray& file, const QString& section, const QString& key, const QString& value) {
    if (file.startsWith(kUtf16LeBom)) {
        QStringDecoder decode(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        const QString text = decode(file.mid(kUtf16LeBom.size()));
        const QString changed = SetValueInText(text, section, key, value);
        QStringEncoder encode(QStringEncoder::Utf16LE, QStringEncoder::Flag::Stateless);
        return kUtf16LeBom + QByteArray(encode(changed));
    }
    // Latin-1 maps every byte to one character and back, so bytes that the
    // value does not touch come out exactly as they went in.
    return SetValueInText(QString::fromLatin1(file), section, key, value).toLatin1();
}

void WriteIniValue(const QString& path, const QString& section, const QString& key, const QString& value) {
    QByteArray contents;
    QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        QFile in(path);
        if (info.isDir() || !in.open(QIODevice::ReadOnly)) throw messages::ReportUnreadable(path);
        contents = in.readAll();
        if (in.error() != QFileDevice::NoError) throw messages::ReportReadFailed(path);
    }

    const QByteArray changed = SetIniValue(contents, section, key, value);
    QString failure;
    if (!WriteFileAtomically(path, changed, &failure)) throw messages::ReportUnwritable(path);
}

}  // namespace puente
