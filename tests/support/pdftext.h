#pragma once

#include <algorithm>
#include <utility>

#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Just enough of a PDF reader for Qt's own output: inflates the streams, reads each font's
// ToUnicode map and turns the shown glyph codes back into text. Qt draws no blanks,
// so the text comes back without them.
struct PdfText {
    QString text;
    QStringList shown; // the text of each drawing of a text (without blanks), in order
    int pages = 0;
    QByteArray raw;
};

inline QByteArray inflate(const QByteArray& deflated) {
    QByteArray sized(4, '\0');
    const quint32 guess = quint32(deflated.size()) * 20 + 4096;
    sized[0] = char(guess >> 24);
    sized[1] = char(guess >> 16);
    sized[2] = char(guess >> 8);
    sized[3] = char(guess);
    return qUncompress(sized + deflated);
}

// The characters of a ToUnicode map, by glyph code.
inline QHash<uint, QString> readToUnicode(const QByteArray& stream) {
    QHash<uint, QString> map;
    auto hex = [](const QByteArray& h) { return h.toUInt(nullptr, 16); };
    static const QRegularExpression rangeRe(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    static const QRegularExpression hexRe(QStringLiteral("<([0-9A-Fa-f]+)>"));
    const QString cmap = QString::fromLatin1(stream);
    for (const QString& section : cmap.split(QStringLiteral("beginbf")).mid(1)) {
        const QString body = section.left(section.indexOf(QStringLiteral("endbf")));
        if (section.startsWith(QStringLiteral("range"))) {
            auto it = rangeRe.globalMatch(body);
            while (it.hasNext()) {
                const auto m = it.next();
                const uint lo = hex(m.captured(1).toLatin1());
                const uint hi = hex(m.captured(2).toLatin1());
                const QString dst = m.captured(3);
                if (dst.startsWith('[')) {
                    auto items = hexRe.globalMatch(dst);
                    for (uint code = lo; code <= hi && items.hasNext(); ++code) {
                        map[code] = QChar(char16_t(hex(items.next().captured(1).toLatin1())));
                    }
                } else {
                    const uint first = hex(dst.mid(1, dst.size() - 2).toLatin1());
                    for (uint code = lo; code <= hi; ++code) {
                        map[code] = QChar(char16_t(first + code - lo));
                    }
                }
            }
        } else {
            auto it = hexRe.globalMatch(body);
            while (it.hasNext()) {
                const uint code = hex(it.next().captured(1).toLatin1());
                if (it.hasNext()) {
                    map[code] = QChar(char16_t(hex(it.next().captured(1).toLatin1())));
                }
            }
        }
    }
    return map;
}

inline PdfText readPdf(const QByteArray& pdf) {
    PdfText out;
    out.raw = pdf;
    out.pages = int(pdf.count("/Type /Page\n"));
    // Every stream, inflated, by the number of the object that holds it.
    QList<std::pair<int, QByteArray>> streams;
    static const QRegularExpression objectRe(QStringLiteral("(\\d+) 0 obj\\b"));
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream", at)) >= 0) {
        if (at > 0 && pdf.mid(at - 3, 3) == "end") {
            at += 6;
            continue;
        }
        qsizetype begin = at + 6;
        if (pdf[begin] == '\r') {
            ++begin;
        }
        ++begin; // the newline
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) {
            break;
        }
        const QByteArray body = pdf.mid(begin, end - begin);
        const QByteArray dict = pdf.mid(std::max<qsizetype>(0, at - 200), 200);
        const qsizetype objectAt = pdf.lastIndexOf(" 0 obj", at);
        qsizetype digits = objectAt;
        while (digits > 0 && pdf[digits - 1] >= '0' && pdf[digits - 1] <= '9') {
            --digits;
        }
        const int object = objectAt > 0 ? pdf.mid(digits, objectAt - digits).toInt() : -1;
        streams.append({object, dict.contains("/FlateDecode") ? inflate(body) : body});
        at = end + 9;
    }

    // Each font has its own glyph codes: its resource name /F<n> is the number of its object,
    // which names the object of its ToUnicode map.
    QHash<int, QByteArray> streamOf;
    for (const auto& [object, body] : streams) {
        streamOf[object] = body;
    }
    QHash<int, QHash<uint, QString>> fontMaps;
    QHash<uint, QString> anyFont;
    static const QRegularExpression fontRe(
        QStringLiteral("(\\d+) 0 obj\\s*<<\\s*/Type /Font[^>]*?/ToUnicode (\\d+) 0 R"));
    auto fonts = fontRe.globalMatch(QString::fromLatin1(pdf));
    while (fonts.hasNext()) {
        const auto m = fonts.next();
        const auto map = readToUnicode(streamOf.value(m.captured(2).toInt()));
        fontMaps[m.captured(1).toInt()] = map;
        anyFont.insert(map);
    }

    // A text object (BT ... ET) is one drawing of a text, shown glyph by glyph or at once.
    static const QRegularExpression shownRe(
        QStringLiteral("/F(\\d+) [0-9.]+ Tf|<([0-9A-Fa-f]+)>\\s*Tj|\\bET\\b"));
    for (const auto& [object, body] : streams) {
        if (!body.contains(" Tj")) {
            continue;
        }
        const QHash<uint, QString>* map = &anyFont;
        QString piece;
        auto it = shownRe.globalMatch(QString::fromLatin1(body));
        while (it.hasNext()) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty()) {
                const auto font = fontMaps.constFind(m.captured(1).toInt());
                map = font != fontMaps.constEnd() ? &*font : &anyFont;
            } else if (!m.captured(2).isEmpty()) {
                const QString codes = m.captured(2);
                for (qsizetype i = 0; i + 4 <= codes.size(); i += 4) {
                    piece += map->value(codes.mid(i, 4).toUInt(nullptr, 16), QStringLiteral("?"));
                }
            } else if (!piece.isEmpty()) {
                out.text += piece;
                static const QRegularExpression blank(QStringLiteral("\\s"));
                out.shown << piece.remove(blank);
                piece.clear();
            }
        }
    }
    return out;
}

inline QString withoutBlanks(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}
