// Installs the project into a temporary DESTDIR, as a package build does, and checks what it
// laid out with the tools a desktop and Debian check such files with.
#include <cstdio>
#include <cstring>
#include <variant>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "app/datapaths.h"
#include "demo.h"
#include "link/devicefinder.h"
#include "recording/memoryimage.h"

using namespace veltrano;

namespace {

const QString kAppId = QStringLiteral(VELTRANO_APP_ID);
const QString kImageType = QStringLiteral("application/x-qlo-image");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args, const QMap<QString, QString>& env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("DESTDIR"));
    for (auto it = env.begin(); it != env.end(); ++it)
        e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(30000)) {
        r.err = program + QStringLiteral(": cannot start");
        return r;
    }
    p.waitForFinished(120000);
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString describe(const Run& r) {
    return QStringLiteral("exit %1\n%2%3").arg(r.code).arg(r.out, r.err);
}

// Every file below root, as paths relative to it.
QStringList filesBelow(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The keys of a desktop entry's main group; a key given twice keeps its last value.
QMap<QString, QString> desktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    bool inMain = false;
    for (const QString& line : QString::fromUtf8(readAll(path)).split(u'\n')) {
        if (line.startsWith(u'['))
            inMain = line == QStringLiteral("[Desktop Entry]");
        else if (inMain && line.contains(u'=') && !line.startsWith(u'#'))
            keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return keys;
}

// --- udev rules ------------------------------------------------------------------------------
// The grammar that udev (systemd 252) accepts: comma-separated KEY[{attr}] OP "value" tokens,
// each key with the operators it allows. A token udev rejects makes it drop the whole line,
// and with it the access, quietly. The commas are required here; udev 252 also takes blanks,
// later versions warn about them.

struct UdevToken {
    QString key;
    QString attr;
    QString op;
    QString value;
};

struct UdevKey {
    const char* name;
    enum { NoAttr, Attr, OptionalAttr } attr;
    bool match;
    bool assign;
};

constexpr UdevKey kUdevKeys[] = {
    {"ACTION", UdevKey::NoAttr, true, false},     {"DEVPATH", UdevKey::NoAttr, true, false},
    {"KERNEL", UdevKey::NoAttr, true, false},     {"KERNELS", UdevKey::NoAttr, true, false},
    {"SUBSYSTEM", UdevKey::NoAttr, true, false},  {"SUBSYSTEMS", UdevKey::NoAttr, true, false},
    {"DRIVER", UdevKey::NoAttr, true, false},     {"DRIVERS", UdevKey::NoAttr, true, false},
    {"ATTRS", UdevKey::Attr, true, false},        {"TAGS", UdevKey::NoAttr, true, false},
    {"TEST", UdevKey::OptionalAttr, true, false}, {"RESULT", UdevKey::NoAttr, true, false},
    {"CONST", UdevKey::Attr, true, false},        {"PROGRAM", UdevKey::NoAttr, true, false},
    {"NAME", UdevKey::NoAttr, true, true},        {"SYMLINK", UdevKey::NoAttr, true, true},
    {"ATTR", UdevKey::Attr, true, true},          {"SYSCTL", UdevKey::Attr, true, true},
    {"ENV", UdevKey::Attr, true, true},           {"TAG", UdevKey::NoAttr, true, true},
    {"OWNER", UdevKey::NoAttr, false, true},      {"GROUP", UdevKey::NoAttr, false, true},
    {"MODE", UdevKey::NoAttr, false, true},       {"SECLABEL", UdevKey::Attr, false, true},
    {"RUN", UdevKey::OptionalAttr, false, true},  {"IMPORT", UdevKey::Attr, false, true},
    {"OPTIONS", UdevKey::NoAttr, false, true},    {"GOTO", UdevKey::NoAttr, false, true},
    {"LABEL", UdevKey::NoAttr, false, true},
};

// One rule (a logical line) into its tokens; an error text when udev would not take it.
std::variant<QList<UdevToken>, QString> parseUdevRule(const QString& line) {
    static const QRegularExpression token(
        QStringLiteral("\\s*([A-Z]+)(?:\\{([^{}\"\\s]+)\\})?\\s*(==|!=|\\+=|-=|:=|=)\\s*"
                       "\"([^\"]*)\"\\s*"));
    QList<UdevToken> tokens;
    qsizetype pos = 0;
    while (true) {
        const auto m = token.match(line, pos, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch())
            return QStringLiteral("not KEY OP \"value\" at: %1").arg(line.mid(pos));
        UdevToken t{m.captured(1), m.captured(2), m.captured(3), m.captured(4)};
        const UdevKey* known = nullptr;
        for (const UdevKey& k : kUdevKeys)
            if (t.key == QLatin1StringView(k.name))
                known = &k;
        if (!known)
            return QStringLiteral("unknown key %1").arg(t.key);
        if ((known->attr == UdevKey::Attr && t.attr.isEmpty()) ||
            (known->attr == UdevKey::NoAttr && !t.attr.isEmpty()))
            return QStringLiteral("%1 with a wrong {attribute}").arg(t.key);
        const bool isMatch = t.op == QStringLiteral("==") || t.op == QStringLiteral("!=");
        if (isMatch ? !known->match : !known->assign)
            return QStringLiteral("invalid operator %1 for %2").arg(t.op, t.key);
        tokens << t;
        pos = m.capturedEnd();
        if (pos == line.size())
            return tokens;
        if (line[pos] != u',')
            return QStringLiteral("no comma before: %1").arg(line.mid(pos));
        ++pos;
    }
}

// Rules that udev 252 takes or refuses, as `udevadm test` reports them.
struct GrammarCase {
    const char* name;
    const char* rule;
    bool valid;
};
const GrammarCase kUdevGrammarCases[] = {
    {"match and assign",
     "SUBSYSTEM==\"tty\", ATTRS{product}==\"a b  \", TAG+=\"uaccess\", ENV{X}=\"1\"", true},
    {"assignment to a match key", "SUBSYSTEM==\"tty\", ATTRS{product}=\"QLO01\", TAG+=\"x\"",
     false},
    {"match on an assign-only key", "SUBSYSTEM==\"tty\", MODE==\"0660\"", false},
    {"unknown key", "SUBSYSTEM==\"tty\", ATTRIBUTE{product}==\"QLO01\"", false},
    {"ENV without its name", "SUBSYSTEM==\"tty\", ENV=\"1\"", false},
    {"unquoted value", "SUBSYSTEM==tty, TAG+=\"uaccess\"", false},
    {"unterminated value", "SUBSYSTEM==\"tty, TAG+=\"uaccess\"", false},
};

// The rules of a file: comments and blank lines dropped, continued lines joined.
QStringList udevRules(const QString& text) {
    QStringList rules;
    QString pending;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\\')) {
            pending += line.chopped(1);
            continue;
        }
        line = pending + line;
        pending.clear();
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith(u'#'))
            rules << line;
    }
    return rules;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir dest;
    QString usr; // dest + the prefix

    QString installed(const QString& relative) const { return usr + u'/' + relative; }

    Run install(const QString& destdir, const QString& prefix, const QString& component = {}) {
        QStringList args = {QStringLiteral("--install"), QStringLiteral(VELTRANO_BUILD_DIR),
                            QStringLiteral("--prefix"), prefix};
        if (!component.isEmpty())
            args << QStringLiteral("--component") << component;
        QMap<QString, QString> env;
        if (!destdir.isEmpty())
            env.insert(QStringLiteral("DESTDIR"), destdir);
        return run(QStringLiteral(CMAKE_COMMAND_PATH), args, env);
    }

    QStringList programs() const {
        return QDir(installed(QStringLiteral("bin"))).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase() {
        QVERIFY(dest.isValid());
        const Run r = install(dest.path(), QStringLiteral("/usr"));
        QVERIFY2(r.code == 0, qPrintable(describe(r)));
        usr = dest.path() + QStringLiteral("/usr");
    }

    // What lands where; the programs alone in bin/.
    void layout() {
        QCOMPARE(programs(), (QStringList{"qlo-sim", "veltrano", "veltrano-report"}));
        for (const QString& p : programs())
            QVERIFY2(QFileInfo(installed("bin/" + p)).isExecutable(), qPrintable(p));
        const QStringList files = {
            "share/veltrano/veltrano-about.html",
            "share/applications/" + kAppId + ".desktop",
            "share/metainfo/" + kAppId + ".metainfo.xml",
            "share/mime/packages/" + kAppId + ".xml",
            "share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
            "lib/udev/rules.d/70-veltrano.rules",
            "share/doc/veltrano/copyright",
            "share/doc/veltrano/changelog.gz",
            "share/doc/qlo-sim/copyright",
            "share/doc/qlo-sim/changelog.gz",
        };
        for (const QString& f : files)
            QVERIFY2(QFileInfo(installed(f)).isFile(), qPrintable(f));
        // The program finds its data from where it is installed.
        QCOMPARE(findDataFile("veltrano-about.html", installed("bin")),
                 installed("share/veltrano/veltrano-about.html"));
    }

    // The two packages: the viewer's holds no simulator (which needs umockdev), and every
    // installed file belongs to one of them, or a package would miss it.
    void components() {
        const QStringList all = filesBelow(dest.path());
        QStringList together;
        for (const QString& component : {QStringLiteral("viewer"), QStringLiteral("simulator")}) {
            QTemporaryDir part;
            const Run r = install(part.path(), QStringLiteral("/usr"), component);
            QVERIFY2(r.code == 0, qPrintable(describe(r)));
            const QStringList files = filesBelow(part.path());
            const bool simulatorFiles =
                files.filter(QRegularExpression(QStringLiteral("qlo-sim"))).size() > 0;
            QCOMPARE(simulatorFiles, component == QStringLiteral("simulator"));
            if (component == QStringLiteral("simulator"))
                QCOMPARE(files,
                         (QStringList{"usr/bin/qlo-sim", "usr/share/doc/qlo-sim/changelog.gz",
                                      "usr/share/doc/qlo-sim/copyright",
                                      "usr/share/man/man1/qlo-sim.1.gz"}));
            together << files;
        }
        together.sort();
        QCOMPARE(together, all);
    }

    void desktopEntry() {
        const QString path = installed("share/applications/" + kAppId + ".desktop");
        const Run r = run(QStringLiteral("desktop-file-validate"), {path});
        QVERIFY2(r.code == 0 && r.out.isEmpty() && r.err.isEmpty(), qPrintable(describe(r)));

        const auto keys = ::desktopEntry(path);
        QCOMPARE(keys.value("Exec"), QString("veltrano %f"));
        QVERIFY(programs().contains(keys.value("Exec").section(u' ', 0, 0)));
        QCOMPARE(keys.value("MimeType"), kImageType + u';');
        QCOMPARE(keys.value("Icon"), kAppId);
        QVERIFY(QFileInfo::exists(
            installed("share/icons/hicolor/scalable/apps/" + keys.value("Icon") + ".svg")));
    }

    void metainfo() {
        const QString path = installed("share/metainfo/" + kAppId + ".metainfo.xml");
        // Infos are allowed; warnings and errors fail the validation.
        const Run r = run(QStringLiteral("appstreamcli"),
                          {QStringLiteral("validate"), QStringLiteral("--no-net"), path});
        QVERIFY2(r.code == 0, qPrintable(describe(r)));

        QMap<QString, QStringList> values; // element name -> texts, in order
        QStringList releases;
        const QStringList wanted = {"id", "project_license", "launchable", "binary", "mediatype"};
        QXmlStreamReader xml(readAll(path));
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString name = xml.name().toString();
            if (name == QStringLiteral("release"))
                releases << xml.attributes().value("version").toString();
            else if (wanted.contains(name))
                values[name] << xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(values.value("id"), QStringList{kAppId});
        QCOMPARE(values.value("project_license"), QStringList{"GPL-3.0-or-later"});
        const QStringList launchables = values.value("launchable");
        QCOMPARE(launchables, QStringList{kAppId + ".desktop"});
        QVERIFY(QFileInfo::exists(installed("share/applications/" + launchables.first())));
        // The binaries of the viewer's package, not the simulator's.
        QCOMPARE(values.value("binary"), (QStringList{"veltrano", "veltrano-report"}));
        QCOMPARE(values.value("mediatype"), QStringList{kImageType});
        QVERIFY(!releases.isEmpty());
        QCOMPARE(releases.first(), QString(VELTRANO_VERSION)); // the newest comes first
    }

    // The packages' changelog names the version being built, or dpkg and lintian disagree.
    void debianChangelog() {
        const Run r = run(QStringLiteral("gzip"),
                          {QStringLiteral("-dc"), installed("share/doc/veltrano/changelog.gz")});
        QVERIFY2(r.code == 0, qPrintable(describe(r)));
        QCOMPARE(r.out.section(u'\n', 0, 0).section(u';', 0, 0),
                 QStringLiteral("veltrano (%1) unstable").arg(VELTRANO_VERSION));
    }

    // The package against the grammar of the system's own database, which shared-mime-info
    // keeps in its freedesktop.org.xml.
    void mimePackage() {
        const QString system = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");
        const QString text = QString::fromUtf8(readAll(system));
        const qsizetype begin = text.indexOf(QStringLiteral("<!DOCTYPE mime-info ["));
        const qsizetype end = text.indexOf(QStringLiteral("]>"), begin);
        QVERIFY2(begin >= 0 && end > begin, "no grammar in freedesktop.org.xml");
        QTemporaryDir tmp;
        const QString dtd = tmp.filePath("shared-mime-info.dtd");
        QFile f(dtd);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.mid(begin + 21, end - begin - 21).toUtf8());
        f.close();
        const Run r = run(QStringLiteral("xmllint"),
                          {QStringLiteral("--noout"), QStringLiteral("--dtdvalid"), dtd,
                           installed("share/mime/packages/" + kAppId + ".xml")});
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(describe(r)));
    }

    // The installed package, compiled with update-mime-database next to the system's database,
    // as a desktop's file manager asks it.
    void mimeMagic_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("isImage");
        QTest::newRow("demo recording") << "opname" << true;
        QTest::newRow("empty image, saved at start") << "leeg" << true;
        QTest::newRow("random bytes of the image's size") << "random" << false;
    }

    void mimeMagic() {
        QFETCH(QString, file);
        QFETCH(bool, isImage);
        static QTemporaryDir root;
        const QString share = root.filePath("share");
        const QMap<QString, QString> env = {{"XDG_DATA_DIRS", share + ":/usr/share"},
                                            {"XDG_DATA_HOME", root.filePath("home")}};
        if (!QFileInfo::exists(share + "/mime/mime.cache")) {
            QVERIFY(QDir().mkpath(share + "/mime/packages"));
            QVERIFY(QFile::copy(installed("share/mime/packages/" + kAppId + ".xml"),
                                share + "/mime/packages/" + kAppId + ".xml"));
            const Run r = run(QStringLiteral("update-mime-database"), {share + "/mime"}, env);
            QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(describe(r)));

            QVERIFY(!demoRecording().save(root.filePath("opname")));
            QVERIFY(!MemoryImage().save(root.filePath("leeg")));
            QByteArray random(kImageSize, Qt::Uninitialized);
            QRandomGenerator generator(20161807);
            generator.fillRange(reinterpret_cast<quint32*>(random.data()), kImageSize / 4);
            QVERIFY(!random.startsWith(QByteArray("\x40\x66\x03\x01", 4)));
            QFile out(root.filePath("random"));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(random) == random.size());
        }
        // A process of its own: the database is read from XDG_DATA_DIRS once.
        const Run r = run(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--mime-type-of"), root.filePath(file)}, env);
        QVERIFY2(r.code == 0, qPrintable(describe(r)));
        if (isImage)
            QCOMPARE(r.out.trimmed(), kImageType);
        else
            QCOMPARE(r.out.trimmed(), QString("application/octet-stream"));
    }

    // A page for every installed program, and every page renders without a warning of any
    // kind (groff's "all" leaves out undefined macros; "w" is every warning).
    void manPages_data() {
        QTest::addColumn<QString>("program");
        QStringList names = programs();
        for (const QString& page :
             QDir(installed("share/man/man1")).entryList({"*.1.gz"}, QDir::Files))
            names << page.chopped(5);
        names.removeDuplicates();
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << name;
    }

    void manPages() {
        QFETCH(QString, program);
        QVERIFY2(programs().contains(program), "a page for no installed program");
        const QString page = installed("share/man/man1/" + program + ".1.gz");
        QVERIFY2(QFileInfo::exists(page), "no man page");

        const Run r =
            run(QStringLiteral("man"),
                {QStringLiteral("--warnings=w"), QStringLiteral("-E"), QStringLiteral("UTF-8"),
                 QStringLiteral("-l"), page},
                {{"LC_ALL", "C.UTF-8"}, {"MANWIDTH", "80"}, {"MAN_DISABLE_SECCOMP", "1"}});
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(r.err));
        for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION"})
            QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral("(^|\n)%1\n").arg(section))),
                     section);
        // The whatis entry that apropos and lintian read.
        const Run whatis = run(QStringLiteral("lexgrog"), {page});
        QVERIFY2(whatis.code == 0 && whatis.out.contains(QStringLiteral(": \"%1 - ").arg(program)),
                 qPrintable(describe(whatis)));
    }

    void icons_data() {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }

    void icons() {
        QFETCH(int, size);
        QImageReader png(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) +
                                   kAppId + ".png"));
        QCOMPARE(png.format(), QByteArray("png"));
        QCOMPARE(png.size(), QSize(size, size));
        QXmlStreamReader svg(
            readAll(installed("share/icons/hicolor/scalable/apps/" + kAppId + ".svg")));
        QVERIFY(svg.readNextStartElement());
        const QStringList box = svg.attributes().value("viewBox").toString().split(u' ');
        QCOMPARE(box.size(), 4);
        QCOMPARE(box[2], box[3]); // square
    }

    // The checker must refuse what udev 252 refuses (checked with `udevadm test`), or the
    // rule test below would pass a rule that udev drops.
    void udevGrammar_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("valid");
        for (const GrammarCase& c : kUdevGrammarCases)
            QTest::newRow(c.name) << QString::fromLatin1(c.rule) << c.valid;
    }

    void udevGrammar() {
        QFETCH(QString, rule);
        QFETCH(bool, valid);
        const auto parsed = parseUdevRule(rule);
        QCOMPARE(std::holds_alternative<QList<UdevToken>>(parsed), valid);
    }

    void udevRule() {
        const QString dir = installed("lib/udev/rules.d");
        const QStringList files = QDir(dir).entryList(QDir::Files);
        QCOMPARE(files, QStringList{"70-veltrano.rules"});
        // uaccess only acts from 73-seat-late.rules on, so the tag must be set before it.
        QVERIFY(files.first() < QStringLiteral("73-seat-late.rules"));

        const QStringList rules = udevRules(QString::fromUtf8(readAll(dir + u'/' + files.first())));
        QCOMPARE(rules.size(), 1);
        const auto parsed = parseUdevRule(rules.first());
        if (const auto* error = std::get_if<QString>(&parsed))
            QFAIL(qPrintable(*error));
        QMap<QString, QString> keys; // "KEY{attr}OP" -> value
        for (const UdevToken& t : std::get<QList<UdevToken>>(parsed)) {
            const QString k = t.key + (t.attr.isEmpty() ? QString() : u'{' + t.attr + u'}') + t.op;
            QVERIFY2(!keys.contains(k), qPrintable(k));
            keys.insert(k, t.value);
        }
        // The same identity the program looks for, blanks and all: with trailing blanks in
        // the value udev compares the whole attribute.
        QCOMPARE(keys.value("ATTRS{manufacturer}=="), QString::fromLatin1(loggerManufacturer()));
        QCOMPARE(keys.value("ATTRS{product}=="), QString::fromLatin1(loggerProduct()));
        QCOMPARE(keys.value("SUBSYSTEM=="), QString("tty"));
        QCOMPARE(keys.value("TAG+="), QString("uaccess"));
        QCOMPARE(keys.value("ENV{ID_MM_DEVICE_IGNORE}="), QString("1"));
        QCOMPARE(keys.value("SYMLINK+="), QString("qlo"));
    }

    // Installed from source (no DESTDIR), the desktop's caches are refreshed at once, so the
    // file type is known without another step.
    void installFromSourceRefreshesCaches() {
        QTemporaryDir prefix;
        const Run r = install(QString(), prefix.path());
        QVERIFY2(r.code == 0, qPrintable(describe(r)));
        QVERIFY2(QFileInfo::exists(prefix.filePath("share/mime/mime.cache")), qPrintable(r.out));
        QVERIFY(readAll(prefix.filePath("share/mime/types")).contains(kImageType.toUtf8()));
        QVERIFY(readAll(prefix.filePath("share/applications/mimeinfo.cache"))
                    .contains(kImageType.toUtf8()));
    }

    // The installed programs start from their installed place.
    void programsRun_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("veltrano-report") << "veltrano-report" << QStringList{"--duration-table"};
        QTest::newRow("qlo-sim") << "qlo-sim" << QStringList{"--help"};
        QTest::newRow("veltrano") << "veltrano" << QStringList{"--version"};
    }

    void programsRun() {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        const Run r = run(installed("bin/" + program), args);
        QVERIFY2(r.code == 0 && !r.out.isEmpty(), qPrintable(describe(r)));
    }
};

int main(int argc, char** argv) {
    // Helper mode for mimeMagic: the MIME type of a file, from the database that
    // XDG_DATA_DIRS names.
    if (argc == 3 && std::strcmp(argv[1], "--mime-type-of") == 0) {
        QCoreApplication app(argc, argv);
        const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromLocal8Bit(argv[2]));
        std::printf("%s\n", qPrintable(type.name()));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestInstall test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_install.moc"
