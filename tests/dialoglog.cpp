#include "tests/dialoglog.h"

#include <QFile>
#include <QPrinter>

#include "shell/userdialogs.h"

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

}  // namespace

void InstallDialogLogIfAsked() {
    const QString path = qEnvironmentVariable("LUNVEX_DIALOG_LOG");
    if (path.isEmpty()) return;
    static LoggedDialogs logged(path);
    UserDialogs::install(&logged);
}
