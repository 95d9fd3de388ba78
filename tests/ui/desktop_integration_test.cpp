// Korvex on the desktop: ".kvu" files are recognised as saved uninstall data, the file
// manager's "Uninstall" hands korvex the path the way it expects it (in double quotes,
// as one argument), and the menu actions start the two command-line runs.
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "platform/fake/fake_system.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "settings/command_line.h"

using namespace korvex;

namespace {

const QString kDesktop = QStringLiteral(KORVEX_DESKTOP_DIR);

// The value of a key in the first group of a desktop entry file whose header is group.
QString entryValue(const QString& file, const QString& group, const QString& key) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QString current;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) current = line.mid(1, line.size() - 2);
        else if (current == group && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
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
        if (c == QLatin1Char('\\') && i + 1 < exec.size()) c = exec[++i] == QLatin1Char('s') ? QChar(u' ') : exec[i];
        unescaped += c;
    }
    QProcess sh;
    sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("eval \"set -- $1\"; printf '%s\\0' \"$@\""),
                                    QStringLiteral("sh"), unescaped});
    sh.waitForFinished();
    QStringList args = QString::fromUtf8(sh.readAllStandardOutput()).split(QChar(0), Qt::SkipEmptyParts);
    for (QString& a : args)
        if (a == QLatin1String("%f")) a = file;
    return args;
}

}  // namespace

class DesktopIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void savedFilesHaveTheirOwnType() {
        const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (updater.isEmpty()) QSKIP("update-mime-database is not installed");
        QTemporaryDir data;
        const QString packages = data.path() + QStringLiteral("/mime/packages");
        QVERIFY(QDir().mkpath(packages));
        QVERIFY(QFile::copy(kDesktop + QStringLiteral("/korvex.xml"), packages + QStringLiteral("/korvex.xml")));
        QProcess update;
        update.setProcessChannelMode(QProcess::MergedChannels);  // it warns about the unusual folder
        update.start(updater, {data.path() + QStringLiteral("/mime")});
        QVERIFY(update.waitForFinished(30000));
        QCOMPARE(update.exitCode(), 0);

        // The database is read at its first use, from these folders only.
        qputenv("XDG_DATA_DIRS", data.path().toUtf8());
        qputenv("XDG_DATA_HOME", (data.path() + QStringLiteral("/home")).toUtf8());
        QMimeDatabase db;
        const QMimeType byName = db.mimeTypeForFile(QStringLiteral("/x/Game X.KVU"), QMimeDatabase::MatchExtension);
        QCOMPARE(byName.name(), QStringLiteral("application/x-korvex-uninstall"));
        QVERIFY(byName.inherits(QStringLiteral("text/plain")));
        QCOMPARE(db.mimeTypeForData(QByteArray("Files{\r\nC:\\Games\\X\\x.exe\r\n}\r\n")).name(),
                 QStringLiteral("application/x-korvex-uninstall"));
        QVERIFY(db.mimeTypeForFile(QStringLiteral("/x/notes.txt"), QMimeDatabase::MatchExtension).name() !=
                QStringLiteral("application/x-korvex-uninstall"));
    }

    void uninstallHandsKorvexTheQuotedPath() {
        const QString entry = kDesktop + QStringLiteral("/korvex-uninstall.desktop");
        QCOMPARE(entryValue(entry, QStringLiteral("Desktop Entry"), QStringLiteral("Name")), QStringLiteral("Uninstall"));
        QVERIFY(entryValue(entry, QStringLiteral("Desktop Entry"), QStringLiteral("MimeType"))
                    .split(QLatin1Char(';'))
                    .contains(QStringLiteral("application/x-korvex-uninstall")));

        // The handler beside a stand-in korvex that writes down what it was given.
        QTemporaryDir bin;
        QVERIFY(QFile::copy(kDesktop + QStringLiteral("/korvex-uninstall"), bin.path() + QStringLiteral("/korvex-uninstall")));
        QFile::setPermissions(bin.path() + QStringLiteral("/korvex-uninstall"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString seen = bin.path() + QStringLiteral("/seen");
        {
            QFile stub(bin.path() + QStringLiteral("/korvex"));
            QVERIFY(stub.open(QIODevice::WriteOnly));
            stub.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" > '%1'\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '%1'; done\n")
                           .arg(seen)
                           .toUtf8());
        }
        QFile::setPermissions(bin.path() + QStringLiteral("/korvex"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QTemporaryDir machine;
        const QString hostFile = machine.path() + QStringLiteral("/drive_c/users/user/Uninstall logs/Game 'X' (v1) $HOME.kvu");
        QStringList args = execArguments(entryValue(entry, QStringLiteral("Desktop Entry"), QStringLiteral("Exec")), hostFile);
        QCOMPARE(args.value(0), QStringLiteral("korvex-uninstall"));
        const QString handler = bin.path() + QLatin1Char('/') + args.takeFirst();
        const auto given = [&]() -> QStringList {
            QProcess run;
            run.start(handler, args);
            if (!run.waitForFinished(10000) || run.exitCode() != 0) return {QStringLiteral("<failed>")};
            QFile out(seen);
            if (!out.open(QIODevice::ReadOnly)) return {QStringLiteral("<nothing>")};
            return QString::fromUtf8(out.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        const QString quoted = QLatin1Char('"') + hostFile + QLatin1Char('"');
        // A folder that is no Wine prefix: korvex works on its usual machine.
        QCOMPARE(given(), QStringList({QStringLiteral("1"), quoted}));
        // Inside a prefix's drive_c: the file belongs to that machine.
        {
            QFile reg(machine.path() + QStringLiteral("/system.reg"));
            QVERIFY(reg.open(QIODevice::WriteOnly));
        }
        const QStringList lines = given();
        QCOMPARE(lines, QStringList({QStringLiteral("3"), QStringLiteral("--machine"), machine.path(), quoted}));

        // korvex reads that argument as the machine's file, to be uninstalled from.
        MemoryRegistry registry;
        MemoryFiles files;
        FakeSystem system;
        system.hostRoot = machine.path().toStdString();
        FakeShell shell{files};
        Services services{registry, files, system, shell};
        files.put("C:\\users\\user\\Uninstall logs\\Game 'X' (v1) $HOME.kvu", "Files{\r\n}\r\n");
        const StartCommand command = ParseCommandLine(services, CommandLineText({lines[3].toStdString()}));
        QCOMPARE(command.action, StartAction::Uninstall);
        QCOMPARE(command.path, std::string("C:\\users\\user\\Uninstall logs\\Game 'X' (v1) $HOME.kvu"));
    }

    void menuActionsStartTheCommandLineRuns() {
        const QString entry = kDesktop + QStringLiteral("/korvex.desktop");
        QCOMPARE(entryValue(entry, QStringLiteral("Desktop Entry"), QStringLiteral("Exec")), QStringLiteral("korvex"));
        MemoryRegistry registry;
        MemoryFiles files;
        FakeSystem system;
        FakeShell shell{files};
        Services services{registry, files, system, shell};
        const QList<QPair<QString, StartAction>> actions = {
            {QStringLiteral("Desktop Action UpdateDatabase"), StartAction::UpdateDatabase},
            {QStringLiteral("Desktop Action FindChanges"), StartAction::FindChanges},
        };
        for (const auto& [group, expected] : actions) {
            QStringList args = execArguments(entryValue(entry, group, QStringLiteral("Exec")), {});
            QCOMPARE(args.value(0), QStringLiteral("korvex"));
            args.removeFirst();
            std::vector<std::string> words;
            for (const QString& a : args) words.push_back(a.toStdString());
            QCOMPARE(ParseCommandLine(services, CommandLineText(words)).action, expected);
        }
    }
};

QTEST_GUILESS_MAIN(DesktopIntegrationTest)
#include "desktop_integration_test.moc"
