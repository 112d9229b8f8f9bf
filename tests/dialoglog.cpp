#include "tests/dialoglog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPrinter>
#include <QWidget>

#include "common/userdialogs.h"

namespace {

class LoggedDialogs : public UserDialogs {
  public:
    explicit LoggedDialogs(QString path) : m_path(std::move(path)) {}

    QMessageBox::StandardButton message(QWidget*, QMessageBox::Icon icon, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons) override {
        QFile log(m_path);
        if (log.open(QIODevice::WriteOnly | QIODevice::Append)) {
            QString line = title + QLatin1Char('\t') + text + QLatin1Char('\t') +
                           QString::number(int(icon)) + QLatin1Char('\n');
            line.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
            log.write(line.toUtf8());
        }
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    }
    std::optional<QString> saveFileName(QWidget*, const SaveRequest&) override {
        return std::nullopt;
    }
    bool choosePrinter(QWidget*, QPrinter&, bool) override { return false; }

  private:
    QString m_path;
};

// Writes each window's class as it is shown, with the milliseconds since the
// program began, so that a test can see the input window arrive.
class WindowLog : public QObject {
  public:
    explicit WindowLog(QString path) : m_path(std::move(path)) { m_clock.start(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow()) {
            QFile log(m_path);
            if (log.open(QIODevice::WriteOnly | QIODevice::Append))
                log.write(QByteArray(widget->metaObject()->className()) + '\t' +
                          QByteArray::number(m_clock.elapsed()) + '\t' +
                          QByteArray::number(widget->devicePixelRatio()) + '\n');
        }
        return false;
    }

  private:
    QString m_path;
    QElapsedTimer m_clock;
};

}  // namespace

void InstallDialogLogIfAsked() {
    const QString windows = qEnvironmentVariable("LUNVEX_WINDOW_LOG");
    if (!windows.isEmpty()) qApp->installEventFilter(new WindowLog(windows));
    const QString path = qEnvironmentVariable("LUNVEX_DIALOG_LOG");
    if (path.isEmpty()) return;
    static LoggedDialogs logged(path);
    UserDialogs::install(&logged);
}
