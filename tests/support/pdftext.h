#pragma once

#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QString>

// Just enough of a PDF reader for Qt's own output: inflates the streams, reads the
// ToUnicode maps and turns the shown glyph codes back into text. Qt draws no blanks,
// so the text comes back without them.
struct PdfText {
    QString text;
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

inline PdfText readPdf(const QByteArray& pdf) {
    PdfText out;
    out.raw = pdf;
    out.pages = int(pdf.count("/Type /Page\n"));
    QList<QByteArray> streams;
    static const QRegularExpression streamRe(QStringLiteral("stream\\r?\\n"));
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
        streams << (dict.contains("/FlateDecode") ? inflate(body) : body);
        at = end + 9;
    }

    QHash<uint, QString> map;
    auto hex = [](const QByteArray& h) { return h.toUInt(nullptr, 16); };
    static const QRegularExpression rangeRe(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    static const QRegularExpression hexRe(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (const QByteArray& s : streams) {
        if (!s.contains("beginbfrange") && !s.contains("beginbfchar")) {
            continue;
        }
        const QString cmap = QString::fromLatin1(s);
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
    }
    static const QRegularExpression shownRe(QStringLiteral("<([0-9A-Fa-f]+)>\\s*Tj"));
    for (const QByteArray& s : streams) {
        if (!s.contains(" Tj")) {
            continue;
        }
        auto it = shownRe.globalMatch(QString::fromLatin1(s));
        while (it.hasNext()) {
            const QString codes = it.next().captured(1);
            for (qsizetype i = 0; i + 4 <= codes.size(); i += 4) {
                out.text += map.value(hex(codes.mid(i, 4).toLatin1()), QStringLiteral("?"));
            }
        }
    }
    return out;
}

inline QString withoutBlanks(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}
