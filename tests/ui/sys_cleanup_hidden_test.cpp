// The clean-up window's hidden entries: the duplicate finder and the unused-DLL scan
// fill the result list and the totals, though the user cannot reach them.
#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmSysCleanUp.h"

using namespace korvex;

namespace {

struct Machine {
    Machine() { files.createFolder("C:\\Program Files\\Korvex"); }
    MemoryRegistry registry;
    MemoryFiles files;
    FakeSystem system;
    FakeShell shell{files};
    Services services{registry, files, system, shell};
    AppContext app{services, "C:\\Program Files\\Korvex\\"};
};

QStringList column(QWidget& w, int index) {
    return test::ColumnTexts(w.findChild<QTreeWidget*>(QStringLiteral("lvwScannedFiles")), index);
}
QString label(QWidget& w, const char* name) { return w.findChild<QLabel*>(QString::fromLatin1(name))->text(); }
void trigger(QWidget& w, const char* name) { w.findChild<QAction*>(QString::fromLatin1(name))->trigger(); }

}  // namespace

class SysCleanUpHiddenTest : public QObject {
    Q_OBJECT
private slots:
    void duplicatesAreListedSortedByName() {
        Machine m;
        for (const char* folder : {"C:\\B\\", "C:\\A\\"})
            for (const char* name : {"z.txt", "a.txt"}) m.files.put(std::string(folder) + name, "same");
        frmSysCleanUp w(m.app);
        w.show();
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("mnuDuplicateFiles"))->isVisible());
        trigger(w, "mnuDuplicateFiles");
        QCOMPARE(column(w, 0), QStringList({"a.txt", "a.txt", "z.txt", "z.txt"}));
        QCOMPARE(label(w, "lblFileNo"), QStringLiteral("Total files:4"));
        QVERIFY(!m.files.exists("C:\\duplicate1.kvd"));
        w.close();
    }

    void unusedDllsAreListed() {
        Machine m;
        m.files.put("C:\\windows\\system\\old.dll", std::string(2048, 'x'));
        m.registry.setString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                             "C:\\windows\\system\\old.dll", "0");
        frmSysCleanUp w(m.app);
        w.show();
        trigger(w, "mnuDllFiles");
        QCOMPARE(column(w, 0), QStringList({"old.dll"}));
        QCOMPARE(column(w, 1), QStringList({"C:\\windows\\system\\"}));
        QCOMPARE(label(w, "lblFileSize"), QStringLiteral("Total size:2KB"));
        w.close();
    }
};

QTEST_MAIN(SysCleanUpHiddenTest)
#include "sys_cleanup_hidden_test.moc"
