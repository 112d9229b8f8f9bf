// The shared file work: small files read whole or refused, pipes and devices
// written as they are, and nothing that waits on a pipe's other end.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/fileio.h"

namespace {

constexpr qint64 kMost = 64;

#ifdef Q_OS_UNIX
// Runs the call on a thread of its own and gives it a few seconds: one stuck
// opening the pipe fails the test instead of hanging it, and is then freed
// by opening the pipe's other end.
bool FinishesAtOnce(const std::function<void()>& call, const QByteArray& pipe, int otherEnd) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        call();
        done = true;
    });
    const bool quick = QTest::qWaitFor([&] { return done.load(); }, 5000);
    const int freeing = quick ? -1 : ::open(pipe.constData(), otherEnd | O_NONBLOCK);
    worker.join();
    if (freeing >= 0) ::close(freeing);
    return quick;
}
#endif

}  // namespace

class TestFileIo : public QObject {
    Q_OBJECT

  private slots:
    void readSmallFile_data();
    void readSmallFile();
    void writeAsItIs_data();
    void writeAsItIs();
    void noDeviceIsLeftUntouched_data();
    void noDeviceIsLeftUntouched();
};

void TestFileIo::readSmallFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("outcome");
    QTest::newRow("small file") << "file" << 10 << int(fileio::Read::Whole);
    QTest::newRow("empty file") << "file" << 0 << int(fileio::Read::Whole);
    QTest::newRow("at the limit") << "file" << int(kMost) << int(fileio::Read::Whole);
    QTest::newRow("a byte over") << "file" << int(kMost) + 1 << int(fileio::Read::TooBig);
    QTest::newRow("far over") << "file" << 1000 * int(kMost) << int(fileio::Read::TooBig);
    QTest::newRow("missing") << "missing" << 0 << int(fileio::Read::Missing);
    QTest::newRow("folder") << "folder" << 0 << int(fileio::Read::Unreadable);
#ifdef Q_OS_UNIX
    QTest::newRow("link to nothing") << "dangling" << 0 << int(fileio::Read::Unreadable);
    QTest::newRow("pipe with no writer") << "pipe" << 0 << int(fileio::Read::Unreadable);
    QTest::newRow("device") << "/dev/zero" << 0 << int(fileio::Read::Unreadable);
#endif
}

void TestFileIo::readSmallFile() {
    QFETCH(QString, kind);
    QFETCH(int, size);
    QFETCH(int, outcome);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("settings.ini"));
    const QByteArray bytes(size, 'x');
    if (kind == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind.startsWith(QLatin1Char('/'))) {
        path = kind;
    }
    fileio::SmallFile read;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("dangling")) QVERIFY(::symlink("nothing", name.constData()) == 0);
    if (kind == QLatin1String("pipe")) {
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        QVERIFY(FinishesAtOnce([&] { read = fileio::ReadSmallFile(path, kMost); }, name, O_WRONLY));
    } else
#endif
        read = fileio::ReadSmallFile(path, kMost);
    QCOMPARE(int(read.outcome), outcome);
    QCOMPARE(read.bytes, outcome == int(fileio::Read::Whole) ? bytes : QByteArray());
}

// A pipe's reader takes a megabyte in many parts, each write waiting for it;
// with nobody reading the open fails at once. A device is written, never
// replaced, and a full one tells why.
void TestFileIo::writeAsItIs_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("writes");
    QTest::newRow("pipe nobody reads") << "pipe" << false << false;
    QTest::newRow("pipe with a reader") << "read pipe" << true << true;
    QTest::newRow("null device") << "/dev/null" << true << true;
    QTest::newRow("full device") << "/dev/full" << true << false;
}

void TestFileIo::writeAsItIs() {
#ifdef Q_OS_UNIX
    QFETCH(QString, target);
    QFETCH(bool, opens);
    QFETCH(bool, writes);
    QTemporaryDir dir;
    QString path = target;
    int in = -1;
    if (!target.startsWith(QLatin1Char('/'))) {
        path = dir.filePath(QStringLiteral("report.rtf"));
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        if (target == QLatin1String("read pipe")) {
            in = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(in >= 0 && ::fcntl(in, F_SETFL, 0) == 0);  // the reader waits for data
        }
    }
    QFile file;
    QString reason;
    fileio::Device device = fileio::Device::None;
    QVERIFY(FinishesAtOnce([&] { device = fileio::OpenDeviceToWrite(file, path, &reason); },
                           QFile::encodeName(path), O_RDONLY));
    QCOMPARE(device, opens ? fileio::Device::Opened : fileio::Device::Refused);
    if (!opens) {
        QCOMPARE(reason, QStringLiteral("No program is reading from this pipe."));
        return;
    }
    QByteArray sent(1 << 20, '\0');
    for (qsizetype i = 0; i < sent.size(); ++i) sent[i] = char(i * 7 / 3);
    QByteArray got;
    std::thread reader([&] {
        char part[4096];
        for (ssize_t n; in >= 0 && (n = ::read(in, part, sizeof part)) > 0;) got.append(part, n);
    });
    const std::optional<QString> failure = fileio::WriteAll(file, sent);
    file.close();
    reader.join();
    if (in >= 0) ::close(in);
    QVERIFY2(failure.has_value() != writes, qPrintable(failure.value_or(QString())));
    if (in >= 0) QCOMPARE(got, sent);
    struct stat after {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &after) == 0);
    QVERIFY(S_ISFIFO(after.st_mode) || S_ISCHR(after.st_mode));  // still what it was
#else
    QSKIP("needs named pipes and /dev/full, which only Linux has");
#endif
}

// What is no pipe or device is left for the usual save exactly as it was:
// looking must neither create a file nor cut one short.
void TestFileIo::noDeviceIsLeftUntouched_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a file") << "file";
    QTest::newRow("nothing") << "missing";
    QTest::newRow("a folder") << "folder";
}

void TestFileIo::noDeviceIsLeftUntouched() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.rtf"));
    if (kind == QLatin1String("folder")) QVERIFY(QDir().mkdir(path));
    if (kind == QLatin1String("file")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("kept") == 4);
    }
    QFile file;
    QString reason;
    QCOMPARE(fileio::OpenDeviceToWrite(file, path, &reason), fileio::Device::None);
    QVERIFY(!file.isOpen());
    QCOMPARE(QFileInfo(path).isDir(), kind == QLatin1String("folder"));
    QCOMPARE(QFileInfo::exists(path), kind != QLatin1String("missing"));
    if (kind == QLatin1String("file")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("kept"));
    }
}

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_fileio.moc"
