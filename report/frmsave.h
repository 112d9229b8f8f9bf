// The report window: the reading as rich text, saved to a file or printed.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class frmSave;
}
class frmchiness;
class UserDialogs;

class frmSave : public QDialog {
    Q_OBJECT

  public:
    // Composes the report from the latest reading and the results window's
    // pair values.
    // A report composed ahead of its Print handles its links only once shown.
    enum class Links { Now, WhenShown };
    explicit frmSave(frmchiness* results, Links links = Links::Now);
    ~frmSave() override;

    // Opens a fresh report window, modal over the results window, and waits.
    static void ShowModal(frmchiness* results);

    Ui::frmSave& controls() { return *ui; }
    // The common dialogs (file-save and printer) the window uses.
    UserDialogs& CD() const;

    // The file-save dialog's settings.
    static const QString SaveFilter;
    static const QString SaveSuffix;
    // Offered besides: the report as it prints, as a PDF file.
    static const QString PdfFilter;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void cmdSave_Click();
    void cmdPrint_Click();

    std::unique_ptr<Ui::frmSave> ui;
    bool m_linksStarted = false;
};

// Writes the rich text to the file through a temporary one, so an existing
// file is replaced whole or not at all. Answers the reason when it fails.
std::optional<QString> WriteReportFile(const QString& path, const QByteArray& rtf);
// A name typed without an extension gets ".rtf", unless it names an existing file.
QString WithReportExtension(const QString& path);
