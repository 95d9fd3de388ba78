// Korvex on the desktop: ".kvu" files are recognised as saved uninstall data, the file
// manager's "Uninstall" hands korvex the path the way it expects it (in double quotes,
// as one argument), and the menu actions start the two command-line runs.
#include "settings/command_line.h"
#include "tests/ui/support/window_test_support.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDesktop = QStringLiteral(KORVEX_DESKTOP_DIR);

// The value of a key in the first group of a desktop entry file whose header is group.
QString entryValue(const QString& file, const QString& key, const QString& group = u"Desktop Entry"_s) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QString current;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) current = line.mid(1, line.size() - 2);
        else if (current == group && line.startsWith(key + u'=')) return line.mid(key.size() + 1);
    }
    return {};
}

// An Exec value's arguments as a launcher makes them: the string escapes undone, then
// the quoting rules (those of the shell's double quotes), then %f replaced by the file
// as one whole argument.
QStringList execArguments(const QString& exec, const QString& file) {
    QString unescaped;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        QChar c = exec[i];
        if (c == u'\\' && i + 1 < exec.size()) c = exec[++i] == u's' ? QChar(u' ') : exec[i];
        unescaped += c;
    }
    QProcess sh;
    sh.start(u"sh"_s, {u"-c"_s, uR"(eval "set -- $1"; printf '%s\0' "$@")"_s, u"sh"_s, unescaped});
    sh.waitForFinished();
    QStringList args = QString::fromUtf8(sh.readAllStandardOutput()).split(QChar(0), Qt::SkipEmptyParts);
    for (QString& a : args)
        if (a == u"%f"_s) a = file;
    return args;
}

}  // namespace

class DesktopIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void savedFilesHaveTheirOwnType() {
        const QString updater = QStandardPaths::findExecutable(u"update-mime-database"_s);
        if (updater.isEmpty()) QSKIP("update-mime-database is not installed");
        QTemporaryDir data;
        QVERIFY(QDir().mkpath(data.path() + u"/mime/packages"_s));
        QVERIFY(QFile::copy(kDesktop + u"/korvex.xml"_s, data.path() + u"/mime/packages/korvex.xml"_s));
        QProcess update;  // (its warnings about the unusual folder stay in its buffers)
        update.start(updater, {data.path() + u"/mime"_s});
        QVERIFY(update.waitForFinished(30000));
        QCOMPARE(update.exitCode(), 0);

        // The database is read at its first use, from these folders only.
        qputenv("XDG_DATA_DIRS", data.path().toUtf8());
        qputenv("XDG_DATA_HOME", (data.path() + u"/home"_s).toUtf8());
        QMimeDatabase db;
        const QMimeType byName = db.mimeTypeForFile(u"/x/Game X.KVU"_s, QMimeDatabase::MatchExtension);
        QCOMPARE(byName.name(), u"application/x-korvex-uninstall"_s);
        QVERIFY(byName.inherits(u"text/plain"_s));
        QCOMPARE(db.mimeTypeForData(QByteArray("Files{\r\nC:\\Games\\X\\x.exe\r\n}\r\n")).name(),
                 u"application/x-korvex-uninstall"_s);
        QVERIFY(db.mimeTypeForFile(u"/x/notes.txt"_s, QMimeDatabase::MatchExtension).name() !=
                u"application/x-korvex-uninstall"_s);
    }

    void uninstallHandsKorvexTheQuotedPath() {
        const QString entry = kDesktop + u"/korvex-uninstall.desktop"_s;
        QCOMPARE(entryValue(entry, u"Name"_s), u"Uninstall"_s);
        QVERIFY(entryValue(entry, u"MimeType"_s).split(u';').contains(u"application/x-korvex-uninstall"_s));

        // The handler beside a stand-in korvex that writes down how many arguments it was
        // given and each of them.
        QTemporaryDir bin;
        QVERIFY(QFile::copy(kDesktop + u"/korvex-uninstall"_s, bin.filePath(u"korvex-uninstall"_s)));
        const QString seen = bin.filePath(u"seen"_s);
        {
            QFile stub(bin.filePath(u"korvex"_s));
            QVERIFY(stub.open(QIODevice::WriteOnly));
            stub.write(u"#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '%1'\n"_s.arg(seen).toUtf8());
            stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }

        QTemporaryDir machine;
        const QString hostFile = machine.path() + u"/drive_c/users/user/Uninstall logs/Game 'X' (v1) $HOME.kvu"_s;
        QStringList args = execArguments(entryValue(entry, u"Exec"_s), hostFile);
        QCOMPARE(args.value(0), u"korvex-uninstall"_s);
        const QString handler = bin.filePath(args.takeFirst());
        const auto given = [&] {
            QProcess::execute(handler, args);
            QFile out(seen);
            return out.open(QIODevice::ReadOnly) ? QString::fromUtf8(out.readAll()).trimmed().split(u'\n') : QStringList();
        };
        const QString quoted = u'"' + hostFile + u'"';
        // A folder that is no Wine prefix: korvex works on its usual machine.
        QCOMPARE(given(), QStringList({u"1"_s, quoted}));
        // Inside a prefix's drive_c: the file belongs to that machine.
        QVERIFY(QFile(machine.filePath(u"system.reg"_s)).open(QIODevice::WriteOnly));
        const QStringList lines = given();
        QCOMPARE(lines, QStringList({u"3"_s, u"--machine"_s, machine.path(), quoted}));

        // korvex reads that argument as the machine's file, to be uninstalled from.
        TestMachine m;
        m.system.hostRoot = machine.path().toStdString();
        m.files.put("C:\\users\\user\\Uninstall logs\\Game 'X' (v1) $HOME.kvu", "Files{\r\n}\r\n");
        const StartCommand command = ParseCommandLine(m.services, CommandLineText({lines[3].toStdString()}));
        QCOMPARE(command.action, StartAction::Uninstall);
        QCOMPARE(command.path, std::string("C:\\users\\user\\Uninstall logs\\Game 'X' (v1) $HOME.kvu"));
    }

    void menuActionsStartTheCommandLineRuns() {
        const QString entry = kDesktop + u"/korvex.desktop"_s;
        QCOMPARE(entryValue(entry, u"Exec"_s), u"korvex"_s);
        TestMachine m;
        const QList<QPair<QString, StartAction>> actions = {
            {u"Desktop Action UpdateDatabase"_s, StartAction::UpdateDatabase},
            {u"Desktop Action FindChanges"_s, StartAction::FindChanges},
        };
        for (const auto& [group, expected] : actions) {
            QStringList args = execArguments(entryValue(entry, u"Exec"_s, group), {});
            QCOMPARE(args.takeFirst(), u"korvex"_s);
            std::vector<std::string> words;
            for (const QString& a : args) words.push_back(a.toStdString());
            QCOMPARE(ParseCommandLine(m.services, CommandLineText(words)).action, expected);
        }
    }
};

QTEST_GUILESS_MAIN(DesktopIntegrationTest)
#include "desktop_integration_test.moc"
