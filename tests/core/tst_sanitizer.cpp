// The sanitizer build still reports a wrong delete in the program's own code: the browser
// tests go without the size check of delete, and no other test may. Each fault runs in a
// child process of this test, under the same sanitizer options, and must be reported.
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <cstring>

namespace {

struct Base {
    int a = 1;
};
struct Derived : Base {
    long more[10] = {};
};

// Kept out of the optimiser's sight, so the allocation and its delete are not dropped.
Base* volatile escaped = nullptr;

__attribute__((noinline)) void plant(const char* fault) {
    if (std::strcmp(fault, "new-delete-type-mismatch") == 0) {
        escaped = new Derived;
        delete escaped;  // the size of Base, not of what was made
    } else if (std::strcmp(fault, "alloc-dealloc-mismatch") == 0) {
        escaped = new Base[4];
        delete escaped;  // delete of new[]
    } else if (std::strcmp(fault, "none") == 0) {
        escaped = new Derived;
        delete static_cast<Derived*>(escaped);
    }
}

constexpr char kFaultVariable[] = "QB_PLANTED_FAULT";

} // namespace

class TestSanitizer : public QObject {
    Q_OBJECT
private slots:
    void planted_faults_are_reported_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("reported");
        QTest::newRow("sound delete") << "none" << false;
        QTest::newRow("delete by a base of another size") << "new-delete-type-mismatch" << true;
        QTest::newRow("delete of an array") << "alloc-dealloc-mismatch" << true;
    }

    void planted_faults_are_reported() {
#ifndef __SANITIZE_ADDRESS__
        QSKIP("built without AddressSanitizer");
#endif
        QFETCH(QString, fault);
        QFETCH(bool, reported);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kFaultVariable), fault);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(120000));
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        const bool clean = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        QVERIFY2(clean != reported, qPrintable(err));
        QCOMPARE(err.contains("ERROR: AddressSanitizer: " + fault), reported);
    }
};

int main(int argc, char** argv) {
    if (const char* fault = std::getenv(kFaultVariable)) {
        plant(fault);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSanitizer tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_sanitizer.moc"
