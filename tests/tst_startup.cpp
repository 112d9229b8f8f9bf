// Start-up and shutdown: the update reminder and its setting codec, the
// promotion drawn at start, ending the program, and refusing a second copy.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/wait.h>
#endif

#include <cmath>
#include <csignal>
#include <new>
#include <stdexcept>

#include "input/frmmain.h"
#include "results/frmchiness.h"
#include "shell/frmabout.h"
#include "testsupport.h"
#include "ui_frmmain.h"

namespace {

const QString kQuestion = QStringLiteral(
    "There maybe an update to this software available\rDo you want to check for an update?");

// Where the testable program started from here keeps its settings: under
// the XDG_CONFIG_HOME it is given; on Windows, where no variable moves the
// folder, in the test-mode folder both programs share.
QString TestableSettings(const QString& configHome) {
    const QString file = QStringLiteral("/Lunvex/lunvex-zodiac-testable.ini");
#ifdef Q_OS_WIN
    Q_UNUSED(configHome);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + file;
#else
    return configHome + file;
#endif
}

// What the reminder keeps in the INI file at the path, read from a fresh
// copy: the program replaces the file whole, behind the back of Qt's cache.
QString StoredDateIn(const QString& path) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    if (!QFile::copy(path, copy)) return {};
    QSettings s(copy, QSettings::IniFormat);
    return modHelp::DecodeSetting(
        s.value(QStringLiteral("Settings/") + modHelp::EncodeSetting(QStringLiteral("Duration")))
            .toString());
}

QString StoredDate() { return StoredDateIn(modHelp::SettingsFilePath()); }

// The real program in a home of its own: message boxes go to a log and are
// answered with No, and each window shown is written down.
class ProgramHome {
  public:
    ProgramHome() {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        m_env.insert(QStringLiteral("LUNVEX_DIALOG_LOG"), path(QStringLiteral("dialogs.log")));
        m_env.insert(QStringLiteral("LUNVEX_WINDOW_LOG"), path(QStringLiteral("windows.log")));
        QDir().mkpath(path(QStringLiteral("run")));
        QFile::setPermissions(path(QStringLiteral("run")), QFileDevice::ReadOwner |
                                                               QFileDevice::WriteOwner |
                                                               QFileDevice::ExeOwner);
        QFile::remove(settings());
        QDir().mkpath(QFileInfo(settings()).path());
    }
    QString path(const QString& name) const { return m_home.filePath(name); }
    void set(const QString& name, const QString& value) { m_env.insert(name, value); }
    void setLocale(const char* name) {
        m_env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(name));
        m_env.insert(QStringLiteral("LANG"), QString::fromLatin1(name));
    }
    QString settings() const { return TestableSettings(path(QStringLiteral("config"))); }
    QByteArray read(const QString& name) const { return readFile(path(name)); }
    QByteArray readSettings() const { return readFile(settings()); }
    // Starts the program; true once its input window has shown.
    bool startUntilInputWindow(QProcess& program, int timeout) {
        QFile::remove(path(QStringLiteral("windows.log")));
        program.setProcessEnvironment(m_env);
        program.setProgram(QStringLiteral(LUNVEX_PROGRAM));
        program.start();
        if (!program.waitForStarted(10000)) return false;
        QElapsedTimer clock;
        clock.start();
        while (!read(QStringLiteral("windows.log")).startsWith("frmmain\t")) {
            if (clock.elapsed() > timeout || program.state() != QProcess::Running) return false;
            QTest::qWait(20);
        }
        return true;
    }
    int questionsAsked() const {
        return int(
            read(QStringLiteral("dialogs.log")).count("Do you want to check for an update?"));
    }

  private:
    static QByteArray readFile(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir m_home;
    QProcessEnvironment m_env;
};

void StoreIn(const QString& path, const QString& plain) {
    QSettings s(path, QSettings::IniFormat);
    s.setValue(QStringLiteral("Settings/") + modHelp::EncodeSetting(QStringLiteral("Duration")),
               modHelp::EncodeSetting(plain));
}

const QDate kToday(2026, 12, 8);

}  // namespace

class StoreReader : public QObject {
    Q_OBJECT

  public:
    StoreReader() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~StoreReader() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QStringList opened;
    QString storedWhenOpened;

  public slots:
    void open(const QUrl& url) {
        opened.append(url.toString());
        storedWhenOpened = StoredDate();
    }
};

class TestStartup : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void codecRoundTrip_data();
    void codecRoundTrip();
    void codecDropRules();
    void reminder_data();
    void reminder();
    void yesWritesTheDateBeforeOpeningThePage();
    void storedFileHoldsNothingPlain();
    void reminderUnderRegionalSettings_data();
    void reminderUnderRegionalSettings();
    void anotherExecutableNameStartsAfresh();
    void coBrandBoundaries_data();
    void coBrandBoundaries();
    void coBrandShares();
    void runStartupShowsTheInputWindow();
    void iconComesOnceTheWindowIsPainted();
    void unloadAllClosesEveryWindowAndEndsOnce();
    void secondCopyIsRefused();
    void settingsThatAreNoFile_data();
    void settingsThatAreNoFile();
    void lockOnlyInAPrivateFolder_data();
    void lockOnlyInAPrivateFolder();
    void lockHeldOpenOnWindows_data();
    void lockHeldOpenOnWindows();
    void settingsLockThatCannotBeTaken_data();
    void settingsLockThatCannotBeTaken();
    void unstorableDateAsksOncePerSession();
    void settingsWithoutHome();
    void settingsThatDoNotRead_data();
    void settingsThatDoNotRead();
    void noSettingsCopyWhileAsking();
    void unusableScaleFactorIsIgnored_data();
    void unusableScaleFactorIsIgnored();
    void uncaughtExceptions_data();
    void uncaughtExceptions();

  private:
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    std::optional<FixedClock> m_clock;
};

void TestStartup::init() {
    DestroyAllWindows();
    m_settingsDir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_settingsDir->path()));
    // Each test starts with no settings (on Windows the folder is shared).
    QDir(QFileInfo(modHelp::SettingsFilePath()).path()).removeRecursively();
    m_clock.emplace(kToday);
    modHelp::ForgetSessionReminderForTesting();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestStartup::cleanup() {
    DestroyAllWindows();
    m_clock.reset();
    modHelp::ForgetSessionReminderForTesting();
    QLocale::setDefault(QLocale::system());
}

void TestStartup::codecRoundTrip_data() {
    QTest::addColumn<QString>("plain");
    QTest::newRow("key") << "Duration";
    QTest::newRow("ISO date") << "2026-12-08";
    QTest::newRow("US date") << "12/8/2026";
    QTest::newRow("every printable ASCII") << [] {
        QString s;
        for (int c = 32; c < 127; ++c) s.append(QChar(c));
        return s;
    }();
    QTest::newRow("control characters") << QString::fromLatin1("\x01\t\n\x7f", 4);
    QTest::newRow("empty") << QString();
}

void TestStartup::codecRoundTrip() {
    QFETCH(QString, plain);
    const QString encoded = modHelp::EncodeSetting(plain);
    QCOMPARE(encoded.size(), plain.size());
    if (!plain.isEmpty()) QVERIFY(encoded != plain);
    for (QChar c : encoded) QVERIFY(c.unicode() >= modHelp::SettingShift && c.unicode() <= 255);
    QCOMPARE(modHelp::DecodeSetting(encoded), plain);
}

void TestStartup::codecDropRules() {
    const int top = 255 - modHelp::SettingShift;  // the highest code that survives encoding
    QCOMPARE(modHelp::EncodeSetting(QString(QChar(top))), QString(QChar(255)));
    QCOMPARE(modHelp::EncodeSetting(QString(QChar(top + 1))), QString());
    QCOMPARE(modHelp::EncodeSetting(QStringLiteral("a\u00e9b")),
             modHelp::EncodeSetting(QStringLiteral("ab")));
    QCOMPARE(modHelp::EncodeSetting(QString(QChar(0))), QString(QChar(modHelp::SettingShift)));
    // Outside Latin-1 a character counts as "?", as in an 8-bit code page.
    QCOMPARE(modHelp::EncodeSetting(QStringLiteral("\u9f20")),
             modHelp::EncodeSetting(QStringLiteral("?")));
    // Decoding drops whatever lies below the shift.
    QCOMPARE(modHelp::DecodeSetting(QString(QChar(modHelp::SettingShift - 1))), QString());
    QCOMPARE(modHelp::DecodeSetting(QString(QChar(modHelp::SettingShift))), QString(QChar(0)));
    QCOMPARE(modHelp::DecodeSetting(QStringLiteral("plain")), QString());
    QCOMPARE(modHelp::DecodeSetting(QStringLiteral("\u9f20")), QString());
}

void TestStartup::reminder_data() {
    QTest::addColumn<QString>("stored");  // plain text before encoding; "-" for no entry
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("pages");
    const QString today = kToday.toString(Qt::ISODate);
    const auto day = [](int offset) { return kToday.addDays(offset).toString(Qt::ISODate); };
    const QStringList none;
    const QStringList download{Page("download-web-page")};
    QTest::newRow("first start") << "-" << QMessageBox::Yes << false << today << none;
    QTest::newRow("today") << today << QMessageBox::Yes << false << today << none;
    QTest::newRow("14 days back") << day(-14) << QMessageBox::Yes << false << day(-14) << none;
    QTest::newRow("15 days back, no") << day(-15) << QMessageBox::No << true << today << none;
    QTest::newRow("15 days back, yes") << day(-15) << QMessageBox::Yes << true << today << download;
    QTest::newRow("14 days ahead") << day(14) << QMessageBox::Yes << false << day(14) << none;
    QTest::newRow("15 days ahead") << day(15) << QMessageBox::No << true << today << none;
    QTest::newRow("years back") << "1999-01-01" << QMessageBox::Yes << true << today << download;
    QTest::newRow("unreadable") << "not a date" << QMessageBox::Yes << false << today << none;
    QTest::newRow("impossible day") << "2026-02-30" << QMessageBox::Yes << false << today << none;
}

void TestStartup::reminder() {
    QFETCH(QString, stored);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, asks);
    QFETCH(QString, after);
    QFETCH(QStringList, pages);
    if (stored != QStringLiteral("-")) StoreIn(modHelp::SettingsFilePath(), stored);
    AnsweringDialogs dialogs;
    dialogs.answer = answer;
    UrlCatcher urls;
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), asks ? 1 : 0);
    if (asks) {
        const ShownMessage& m = dialogs.messages.constFirst();
        QCOMPARE(m.text, kQuestion);
        QCOMPARE(m.title, QStringLiteral("Lunvex Chinese Zodiac Compatibility"));
        QCOMPARE(m.icon, QMessageBox::Information);
        QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QCOMPARE(StoredDate(), after);
    QCOMPARE(urls.opened, pages);

    // The next start on the same day asks nothing.
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), asks ? 1 : 0);
}

void TestStartup::yesWritesTheDateBeforeOpeningThePage() {
    StoreIn(modHelp::SettingsFilePath(), QStringLiteral("2026-01-01"));
    AnsweringDialogs dialogs;
    dialogs.answer = QMessageBox::Yes;
    StoreReader reader;  // reads the store at the moment the page opens
    modHelp::UpdateReminder();
    QCOMPARE(reader.opened, QStringList{Page("download-web-page")});
    QCOMPARE(reader.storedWhenOpened, QStringLiteral("2026-12-08"));
}

void TestStartup::storedFileHoldsNothingPlain() {
    modHelp::UpdateReminder();
    QFile file(modHelp::SettingsFilePath());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray raw = file.readAll();
    QVERIFY(raw.contains("[Settings]"));
    QVERIFY(!raw.toLower().contains("duration"));
    for (const QString& form : {kToday.toString(Qt::ISODate), QStringLiteral("12/8/2026"),
                                QStringLiteral("12/8/26"), QStringLiteral("2026")})
        QVERIFY2(!raw.contains(form.toLatin1()), qPrintable(form));
}

void TestStartup::reminderUnderRegionalSettings_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("regional");  // an entry in the regional short format, 4-digit year
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "11/20/2026";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "20.11.2026";
    QTest::newRow("C") << QLocale::c() << QLocale::c().toString(QDate(2026, 11, 20), [] {
        QString f = QLocale::c().dateFormat(QLocale::ShortFormat);
        if (!f.contains(QStringLiteral("yyyy")))
            f.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
        return f;
    }());
}

void TestStartup::reminderUnderRegionalSettings() {
    QFETCH(QLocale, locale);
    QFETCH(QString, regional);
    QLocale::setDefault(locale);
    AnsweringDialogs dialogs;
    dialogs.answer = QMessageBox::No;

    // The first start writes ISO, which reads back under any settings.
    modHelp::UpdateReminder();
    QCOMPARE(StoredDate(), QStringLiteral("2026-12-08"));
    m_clock->day = kToday.addDays(14);
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), 0);
    m_clock->day = kToday.addDays(15);
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(StoredDate(), QStringLiteral("2026-12-23"));

    // An entry in the regional format is still understood: 18 days before today.
    m_clock->day = kToday;
    StoreIn(modHelp::SettingsFilePath(), regional);
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), 2);
    QCOMPARE(StoredDate(), QStringLiteral("2026-12-08"));
}

void TestStartup::anotherExecutableNameStartsAfresh() {
    AnsweringDialogs dialogs;
    modHelp::UpdateReminder();
    QSettings other(
        QFileInfo(modHelp::SettingsFilePath()).path() + QStringLiteral("/renamed-copy.ini"),
        QSettings::IniFormat);
    QVERIFY(other.allKeys().isEmpty());
    QVERIFY(QFile::exists(modHelp::SettingsFilePath()));
}

void TestStartup::coBrandBoundaries_data() {
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("number");
    QTest::newRow("0") << 0.0 << 1;
    QTest::newRow("just under the first half") << 0.0833 << 1;
    QTest::newRow("2.5 rounds down to even") << 0.25 << 2;
    QTest::newRow("just over 2.5") << 0.2501 << 3;
    QTest::newRow("4.0") << 0.5 << 4;
    QTest::newRow("5.5 rounds up to even") << 0.75 << 6;
    QTest::newRow("just under 5.5") << 0.7499 << 5;
    QTest::newRow("6.625") << 0.9375 << 7;
    QTest::newRow("largest draw") << std::nextafter(1.0, 0.0) << 7;
}

void TestStartup::coBrandBoundaries() {
    QFETCH(double, draw);
    QFETCH(int, number);
    QCOMPARE(int(modHelp::CoBrandNumber(draw)), number);
    frmmain w;
    w.show();
    const FixedDraw fixed(draw);
    QCOMPARE(int(modHelp::CoBrand_Randomize(&w)), number);
    QCOMPARE(int(modHelp::intCoBrandRandomNumber), number);
    const QPoint spot = w.controls().lblCobrand->geometry().center();
    QWidget* front = w.centralWidget()->childAt(spot);
    QCOMPARE(front, number % 2 == 1 && number != 7
                        ? static_cast<QWidget*>(w.controls().lblCobrand)
                        : static_cast<QWidget*>(w.controls().lblFullBrand));
}

void TestStartup::coBrandShares() {
    RandomSource::current().seedFromClock();
    const int draws = 60000;
    int cobrand = 0;
    int seven = 0;
    for (int i = 0; i < draws; ++i) {
        const int n = modHelp::CoBrandNumber(RandomSource::current().draw());
        QVERIFY(n >= 1 && n <= 7);
        if (n == 1 || n == 3 || n == 5) ++cobrand;
        if (n == 7) ++seven;
    }
    // About 2.5 starts in 6 show the co-brand offer; 0.5 in 6 draw a 7.
    QVERIFY2(std::abs(cobrand / double(draws) - 2.5 / 6) < 0.015,
             qPrintable(QString::number(cobrand)));
    QVERIFY2(std::abs(seven / double(draws) - 0.5 / 6) < 0.01, qPrintable(QString::number(seven)));
}

void TestStartup::runStartupShowsTheInputWindow() {
    AnsweringDialogs dialogs;
    const FixedDraw fixed(0.0);  // 1: co-brand offer in front
    QVERIFY(modHelp::RunStartup());
    frmmain* input = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) input = m;
    QVERIFY(input);
    QCOMPARE(input->centralWidget()->childAt(input->controls().lblCobrand->geometry().center()),
             input->controls().lblCobrand);
    QCOMPARE(StoredDate(), QStringLiteral("2026-12-08"));  // the reminder ran
    QVERIFY(dialogs.messages.isEmpty());

    // A reminder that cannot read its store never stops the start.
    DestroyAllWindows();
    qputenv("XDG_CONFIG_HOME", "/proc/nonexistent");
    QVERIFY(modHelp::RunStartup());
    bool shown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmmain*>(w) && w->isVisible()) shown = true;
    QVERIFY(shown);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestStartup::iconComesOnceTheWindowIsPainted() {
    AnsweringDialogs dialogs;
    QApplication::setWindowIcon(QIcon());
    QVERIFY(modHelp::RunStartup());
    QTRY_VERIFY(!QApplication::windowIcon().isNull());
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    QCOMPARE(sizes.size(), 5);
    QCOMPARE(QApplication::windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(QApplication::windowIcon().pixmap(48, 48).toImage().pixelColor(24, 24).alpha(), 255);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmmain*>(w)) QVERIFY(!w->windowIcon().isNull());
}

void TestStartup::unloadAllClosesEveryWindowAndEndsOnce() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* input = Navigator::instance().newInput();
    input->show();
    QPointer<frmmain> watched = input;
    QPointer<QWidget> about;
    bool aboutWasOpen = false;
    QTimer::singleShot(0, [&] {
        about = QApplication::activeModalWidget();
        aboutWasOpen = qobject_cast<frmAbout*>(about.data()) && about->isVisible();
        modHelp::UnloadAllAndEnd();
    });
    input->controls().mnuAbout->trigger();  // returns once the about window is gone
    QVERIFY(aboutWasOpen);
    QCOMPARE(end.ends, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!about || !about->isVisible());
    QVERIFY(!watched || !watched->isVisible());
    QTest::qWait(20);
    QCOMPARE(end.ends, 1);
}

// Real processes: a second copy is refused; a copy killed hard does not lock the next one out.
void TestStartup::secondCopyIsRefused() {
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/run"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("LUNVEX_DIALOG_LOG"), home.path() + QStringLiteral("/dialogs.log"));
    QDir().mkpath(home.path() + QStringLiteral("/run"));
    QFile::setPermissions(home.path() + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString settings = TestableSettings(home.path() + QStringLiteral("/config"));
    QFile::remove(settings);
    const auto start = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.setProgram(QStringLiteral(LUNVEX_PROGRAM));
        p.start();
        return p.waitForStarted(10000);
    };
    const auto log = [&] {
        QFile f(home.path() + QStringLiteral("/dialogs.log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };

    QProcess first;
    QVERIFY(start(first));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings), 20000);  // past the lock and the reminder
    QTest::qWait(300);
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    QVERIFY(start(second));
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(log(), QStringLiteral(
                        "Lunvex Chinese Zodiac Compatibility\tApplication is already running\t%1\n")
                        .arg(int(QMessageBox::Information)));
    QCOMPARE(first.state(), QProcess::Running);  // left untouched

    first.kill();  // SIGKILL: no chance to tidy up
    QVERIFY(first.waitForFinished(10000));
    QProcess third;
    QVERIFY(start(third));
    QTest::qWait(1500);
    QCOMPARE(third.state(), QProcess::Running);
    QCOMPARE(log().count(QLatin1Char('\n')), 1);  // no new refusal
    third.kill();
    third.waitForFinished(10000);
}

// Only a regular file is read or written as the settings: a pipe in its
// place would otherwise hold up the start until something writes to it.
void TestStartup::settingsThatAreNoFile_data() {
    QTest::addColumn<bool>("pipe");
    QTest::newRow("named pipe") << true;
    QTest::newRow("folder") << false;
}

void TestStartup::settingsThatAreNoFile() {
#ifdef Q_OS_UNIX
    QFETCH(bool, pipe);
    AnsweringDialogs dialogs;
    const QString path = modHelp::SettingsFilePath();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(pipe ? ::mkfifo(name.constData(), 0600) == 0 : QDir().mkdir(path));
    modHelp::UpdateReminder();  // returns at once instead of waiting for a writer
    QVERIFY(dialogs.messages.isEmpty());
    struct stat after {};
    QVERIFY(::stat(name.constData(), &after) == 0);
    QVERIFY(pipe ? S_ISFIFO(after.st_mode) : S_ISDIR(after.st_mode));  // left as it was
#else
    QSKIP("needs a named pipe (mkfifo), which only Linux has");
#endif
}

// The single-instance lock is taken only in a folder that belongs to the
// user alone; a lock file or folder that another user made first is ignored
// rather than trusted, so it cannot refuse every start.
void TestStartup::lockOnlyInAPrivateFolder_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("acquired");
    QTest::addColumn<bool>("lockInFolder");
    QTest::newRow("own folder") << "own" << true << true;
    QTest::newRow("own folder, copy running") << "held" << false << true;
    QTest::newRow("folder of another user") << "foreign folder" << true << false;
    QTest::newRow("no runtime folder, shared one taken") << "taken fallback" << true << false;
    QTest::newRow("lock file planted by another user") << "planted" << true << true;
}

void TestStartup::lockOnlyInAPrivateFolder() {
#ifdef Q_OS_UNIX
    QFETCH(QString, setup);
    QFETCH(bool, acquired);
    QFETCH(bool, lockInFolder);
    const bool needsRoot = setup != QStringLiteral("own") && setup != QStringLiteral("held");
    if (needsRoot && ::geteuid() != 0) QSKIP("making files of another user needs root");
    const uid_t nobody = 65534;
    QTemporaryDir scratch;
    QString folder = scratch.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkdir(folder));
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTmp = qgetenv("TMPDIR");
    if (setup == QStringLiteral("taken fallback")) {
        // Without XDG_RUNTIME_DIR, Qt falls back to <tmp>/runtime-<user>.
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(scratch.path()));
        folder =
            scratch.filePath(QStringLiteral("runtime-") + qEnvironmentVariable("USER", "root"));
        QVERIFY(QDir().mkdir(folder));
    } else {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    }
    const QByteArray dir = QFile::encodeName(folder);
    ::chmod(dir.constData(), needsRoot && setup != QStringLiteral("planted") ? 0777 : 0700);
    if (setup == QStringLiteral("foreign folder") || setup == QStringLiteral("taken fallback"))
        QVERIFY(::chown(dir.constData(), nobody, nobody) == 0);
    int holder = -1;
    if (setup == QStringLiteral("held") || setup == QStringLiteral("planted")) {
        const QString path = modHelp::SingleInstanceLockPath();
        QVERIFY(!path.isEmpty());
        holder = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0644);
        QVERIFY(holder >= 0);
        QVERIFY(::flock(holder, LOCK_EX | LOCK_NB) == 0);
        if (setup == QStringLiteral("planted")) QVERIFY(::fchown(holder, nobody, nobody) == 0);
    }

    modHelp::ReleaseSingleInstanceLockForTesting();
    const bool result = modHelp::AcquireSingleInstanceLock();
    modHelp::ReleaseSingleInstanceLockForTesting();
    if (holder >= 0) ::close(holder);
    const bool lockFound = !QDir(folder).entryList(QDir::Files).isEmpty();
    savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
    savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);
    QCOMPARE(result, acquired);
    QCOMPARE(lockFound, lockInFolder);
#else
    QSKIP("needs the runtime folder and file owners (chown, flock) of Linux");
#endif
}

// On Windows the lock is a file in the user's local application data, held
// open with no sharing: any other open of it, by a running copy, refuses.
// Whatever else stands there (a folder) is left alone and the start goes on.
void TestStartup::lockHeldOpenOnWindows_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("acquired");
    QTest::newRow("no lock yet") << "none" << true;
    QTest::newRow("lock left by a copy that ended") << "left" << true;
    QTest::newRow("held by a running copy") << "held" << false;
    QTest::newRow("a folder in its place") << "folder" << true;
}

void TestStartup::lockHeldOpenOnWindows() {
#ifdef Q_OS_WIN
    QFETCH(QString, setup);
    QFETCH(bool, acquired);
    const QString path = modHelp::SingleInstanceLockPath();
    QVERIFY(!path.isEmpty());
    QCOMPARE(QFileInfo(path).absolutePath(),
             QFileInfo(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                 .absoluteFilePath());
    modHelp::ReleaseSingleInstanceLockForTesting();
    QFile::remove(path);
    QDir().rmdir(path);
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (setup == QStringLiteral("left")) {
        QFile left(path);
        QVERIFY(left.open(QIODevice::WriteOnly));
    } else if (setup == QStringLiteral("held")) {
        holder = ::CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(holder != INVALID_HANDLE_VALUE);
    } else if (setup == QStringLiteral("folder")) {
        QVERIFY(QDir().mkdir(path));
    }

    const bool result = modHelp::AcquireSingleInstanceLock();
    // While this copy holds it, no one else may open the file.
    const HANDLE another = ::CreateFileW(native.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD anotherError = ::GetLastError();
    if (another != INVALID_HANDLE_VALUE) ::CloseHandle(another);
    modHelp::ReleaseSingleInstanceLockForTesting();
    if (holder != INVALID_HANDLE_VALUE) ::CloseHandle(holder);
    const bool isFolder = QFileInfo(path).isDir();
    QFile::remove(path);
    QDir().rmdir(path);
    QCOMPARE(result, acquired);
    if (setup == QStringLiteral("folder")) {
        QVERIFY(isFolder);  // left as it was
    } else {
        QVERIFY(another == INVALID_HANDLE_VALUE);
        QCOMPARE(anotherError, DWORD(ERROR_SHARING_VIOLATION));
    }
    // Released: the next copy takes it again.
    if (setup != QStringLiteral("folder")) {
        QVERIFY(modHelp::AcquireSingleInstanceLock());
        modHelp::ReleaseSingleInstanceLockForTesting();
        QFile::remove(path);
    }
#else
    QSKIP("the lock held open without sharing is Windows' own");
#endif
}

// Qt's settings code waits without end for a lock it cannot take. Whatever
// stands where that lock goes, the real program shows its input window at
// once, and the reminder still asks and stores its date.
void TestStartup::settingsLockThatCannotBeTaken_data() {
    QTest::addColumn<bool>("pipe");
    QTest::addColumn<bool>("oldEntry");  // a date long past: the reminder asks, then writes
    QTest::newRow("lock folder, first start") << false << false;
    QTest::newRow("lock folder, reminder due") << false << true;
    QTest::newRow("lock pipe, first start") << true << false;
    QTest::newRow("lock pipe, reminder due") << true << true;
}

void TestStartup::settingsLockThatCannotBeTaken() {
#ifdef Q_OS_UNIX
    QFETCH(bool, pipe);
    QFETCH(bool, oldEntry);
    ProgramHome home;
    if (oldEntry) StoreIn(home.settings(), QStringLiteral("2001-01-01"));
    const QByteArray lock = QFile::encodeName(home.settings() + QStringLiteral(".lock"));
    QVERIFY(pipe ? ::mkfifo(lock.constData(), 0600) == 0 : ::mkdir(lock.constData(), 0700) == 0);

    QProcess program;
    // Within moments (a loaded test machine may start slowly), never a freeze.
    QVERIFY(home.startUntilInputWindow(program, 5000));
    program.kill();
    program.waitForFinished(10000);
    QCOMPARE(home.questionsAsked(), oldEntry ? 1 : 0);
    QCOMPARE(StoredDateIn(home.settings()), QDate::currentDate().toString(Qt::ISODate));
    struct stat after {};
    QVERIFY(::lstat(lock.constData(), &after) == 0);
    QVERIFY(pipe ? S_ISFIFO(after.st_mode) : S_ISDIR(after.st_mode));  // left as it was
#else
    QSKIP("needs a named pipe (mkfifo), which only Linux has");
#endif
}

// A date the settings file cannot take (here: the file may not grow) is
// kept for the session: the question comes once, not at every start.
void TestStartup::unstorableDateAsksOncePerSession() {
#ifdef Q_OS_UNIX
    ProgramHome home;
    home.setLocale("en_US.UTF-8");
    // In the regional form: shorter than the ISO date that would replace it.
    StoreIn(home.settings(), QStringLiteral("1/2/2001"));
    {
        // Room for the logs' lines.
        QSettings s(home.settings(), QSettings::IniFormat);
        s.setValue(QStringLiteral("Other/room"), QString(400, QLatin1Char('x')));
    }
    const QByteArray bytes = home.readSettings();

    // Files may not grow past that size: the date cannot be stored, as in a
    // full or read-only settings folder. The program inherits the limit.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = rlim_t(bytes.size());
    const auto start = [&] {
        QProcess program;
        std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
        const bool shown = home.startUntilInputWindow(program, 10000);
        ::setrlimit(RLIMIT_FSIZE, &old);
        program.kill();
        program.waitForFinished(10000);
        return shown;
    };
    QVERIFY(start());
    QCOMPARE(home.questionsAsked(), 1);
    QVERIFY(start());  // the same session: asked already
    QCOMPARE(home.questionsAsked(), 1);
    QCOMPARE(home.readSettings(), bytes);
#else
    QSKIP("needs a file-size limit (setrlimit), which only Linux has");
#endif
}

// Without HOME (and no XDG_CONFIG_HOME) the settings would land in /.config,
// shared by everyone without a home: none are read or written then. Windows
// seldom sets HOME and gives the folder from the user's profile: the
// settings are kept there all the same.
void TestStartup::settingsWithoutHome() {
    const QByteArray savedHome = qgetenv("HOME");
    const QString shared =
        QStringLiteral("/.config/Lunvex/") + modHelp::ExecutableName() + QStringLiteral(".ini");
    const bool there = QFile::exists(shared);
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const QString path = modHelp::SettingsFilePath();
    AnsweringDialogs dialogs;
    modHelp::UpdateReminder();
    qputenv("HOME", savedHome);
    QVERIFY(dialogs.messages.isEmpty());
#ifdef Q_OS_WIN
    Q_UNUSED(there);
    QVERIFY(!path.isEmpty());
    QCOMPARE(StoredDateIn(path), kToday.toString(Qt::ISODate));
#else
    QVERIFY2(path.isEmpty(), qPrintable(path));
    QCOMPARE(QFile::exists(shared), there);
#endif
}

// A settings file Qt cannot read whole (one malformed line) or too big to be
// read is replaced with a fresh one that keeps the day if it read: left as it
// was, every start would count as the first and the reminder never ask. Of a
// file too big, not even the day is taken: a due day there asks nothing.
void TestStartup::settingsThatDoNotRead_data() {
    QTest::addColumn<QString>("stored");  // the day before the bad part, "-" for none
    QTest::addColumn<QByteArray>("bad");  // appended to the file
    QTest::addColumn<qint64>("size");     // then padded with a comment to this size, if more
    QTest::addColumn<bool>("asks");
    QTest::addColumn<QString>("after");
    const auto day = [](int offset) { return kToday.addDays(offset).toString(Qt::ISODate); };
    const QByteArray section("\n[unterminated\n");
    const qint64 most = modHelp::MostSettingsBytes;
    QTest::newRow("bad line, day recent") << day(-3) << section << qint64(0) << false << day(-3);
    QTest::newRow("bad line, day due") << day(-20) << section << qint64(0) << true << day(0);
    QTest::newRow("bad line, no day") << "-" << section << qint64(0) << false << day(0);
    QTest::newRow("too big") << day(-3) << QByteArray(300 * 1024, ';') << qint64(0) << false
                             << day(0);
    QTest::newRow("at the limit, day due") << day(-20) << QByteArray() << most << true << day(0);
    QTest::newRow("a byte over, day due")
        << day(-20) << QByteArray() << most + 1 << false << day(0);
}

void TestStartup::settingsThatDoNotRead() {
    QFETCH(QString, stored);
    QFETCH(QByteArray, bad);
    QFETCH(qint64, size);
    QFETCH(bool, asks);
    QFETCH(QString, after);
    const QString path = modHelp::SettingsFilePath();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (stored != QStringLiteral("-")) StoreIn(path, stored);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        file.write(bad);
        if (size > file.size()) file.write("\n;" + QByteArray(size - file.size() - 2, ';'));
        QVERIFY(size == 0 || file.size() == size);
    }
    AnsweringDialogs dialogs;
    dialogs.answer = QMessageBox::No;
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), asks ? 1 : 0);
    QVERIFY(QFileInfo(path).size() < 1024);
    QSettings back(path, QSettings::IniFormat);
    QCOMPARE(back.status(), QSettings::NoError);
    QCOMPARE(StoredDate(), after);

    // A later start counts from that day: twenty days on it asks, once.
    modHelp::ForgetSessionReminderForTesting();
    m_clock->day = kToday.addDays(20);
    modHelp::UpdateReminder();
    modHelp::UpdateReminder();
    QCOMPARE(dialogs.messages.size(), asks ? 2 : 1);
}

// The program may end while the update question is open (a signal, a lost
// display), with no chance to tidy up: no copy of the settings is left in
// the temporary folder then.
void TestStartup::noSettingsCopyWhileAsking() {
    StoreIn(modHelp::SettingsFilePath(), QStringLiteral("2001-01-01"));
    QTemporaryDir temp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    AnsweringDialogs dialogs;
    dialogs.answer = QMessageBox::No;
    QStringList leftWhileAsking{QStringLiteral("<not asked>")};
    dialogs.onMessage = [&] {
        leftWhileAsking =
            QDir(temp.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    };
    modHelp::UpdateReminder();
    savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);
    QCOMPARE(leftWhileAsking, QStringList());
    QCOMPARE(StoredDate(), kToday.toString(Qt::ISODate));  // the answer's day still stored
    QVERIFY(QDir(temp.path()).isEmpty());
}

// A scale factor that leaves no window to see (none at all, or sizes that
// overflow) would leave an invisible program holding the lock: it is
// ignored, and the log says so. A usable one is kept.
void TestStartup::unusableScaleFactorIsIgnored_data() {
    QTest::addColumn<QString>("factor");
    QTest::addColumn<double>("ratio");  // the input window's device pixel ratio
    QTest::newRow("zero") << "0" << 1.0;
    QTest::newRow("not a number") << "nan" << 1.0;
    QTest::newRow("huge") << "1e308" << 1.0;
    QTest::newRow("negative") << "-2" << 1.0;
    QTest::newRow("tiny") << "1e-300" << 1.0;
    QTest::newRow("usable") << "1.5" << 1.5;
}

void TestStartup::unusableScaleFactorIsIgnored() {
    QFETCH(QString, factor);
    QFETCH(double, ratio);
    ProgramHome home;
    home.set(QStringLiteral("QT_SCALE_FACTOR"), factor);
    home.set(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("lunvex.startup=true"));
    QProcess program;
    const bool shown = home.startUntilInputWindow(program, 10000);
    program.kill();
    program.waitForFinished(10000);
    QVERIFY(shown);
    const QList<QByteArray> fields =
        home.read(QStringLiteral("windows.log")).split('\n').first().split('\t');
    QCOMPARE(fields.size(), 3);
    QCOMPARE(fields.at(2).toDouble(), ratio);
    const bool ignored = ratio != 1.5;
    QCOMPARE(
        program.readAllStandardError().contains("ignoring QT_SCALE_FACTOR=" + factor.toLatin1()),
        ignored);
}

// An allocation that fails where nothing catches it (in an event handler Qt
// lets no exception through) ends the process with a message and an exit
// code, not a core dump; any other error still ends it as before.
void TestStartup::uncaughtExceptions_data() {
    QTest::addColumn<bool>("outOfMemory");
    QTest::newRow("allocation failed") << true;
    QTest::newRow("another error") << false;
}

void TestStartup::uncaughtExceptions() {
#ifdef Q_OS_UNIX
    QFETCH(bool, outOfMemory);
    QTemporaryDir dir;
    const QByteArray errors = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const int fd = ::open(errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        modHelp::PrepareProcess();
        // As when the exception meets a frame it cannot pass: terminate
        // with the exception in flight.
        try {
            if (outOfMemory) throw std::bad_alloc();
            throw std::runtime_error("another error");
        } catch (...) {
            std::terminate();
        }
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QFile file(QString::fromLocal8Bit(errors));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray said = file.readAll();
    if (outOfMemory) {
        QVERIFY2(WIFEXITED(status), qPrintable(QString::number(status)));
        QCOMPARE(WEXITSTATUS(status), modHelp::OutOfMemoryExitCode);
        QCOMPARE(said, QByteArray("Lunvex Chinese Zodiac Compatibility: not enough memory; "
                                  "the program ends.\n"));
    } else {
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT);
        QVERIFY2(said.contains("another error"), said.constData());
    }
#else
    QSKIP("needs fork and waitpid, which only Linux has");
#endif
}

LUNVEX_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
