// The run command without a display: one clear line, and nothing built or installed.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <unistd.h>

class TestRun : public QObject {
    Q_OBJECT
private slots:
    void without_a_display_says_so_and_builds_nothing();
};

void TestRun::without_a_display_says_so_and_builds_nothing() {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    env.insert("QB_BUILD_DIR", dir.filePath("build"));
    env.insert("QUORBELIX_HOME", dir.filePath("home"));
    env.insert("XDG_DATA_HOME", dir.filePath("share"));
    QProcess run;
    run.setProcessEnvironment(env);
    // Its own process group, so a run that goes on building can be stopped whole.
    run.setChildProcessModifier([] { ::setpgid(0, 0); });
    run.start("bash", {QStringLiteral(QB_SOURCE_DIR "/scripts/run")});
    QVERIFY(run.waitForStarted());
    const bool ended = run.waitForFinished(30000);
    if (!ended) {
        ::kill(-pid_t(run.processId()), SIGKILL);
        run.waitForFinished();
    }
    QVERIFY(ended);
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(run.readAllStandardError()),
             QString("scripts/run: no display to show Quorbelix on (DISPLAY and WAYLAND_DISPLAY are not set); start it "
                     "in a desktop session.\n"));
    QVERIFY(!QFileInfo::exists(dir.filePath("build")));
    QVERIFY(!QFileInfo::exists(dir.filePath("home")));
    QVERIFY(!QFileInfo::exists(dir.filePath("share")));
}

QTEST_GUILESS_MAIN(TestRun)
#include "tst_run.moc"
