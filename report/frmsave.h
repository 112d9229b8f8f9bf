// The report window: the reading as rich text, saved to a file or printed.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>

#include "engine/reading.h"

namespace Ui {
class frmSave;
}
class UserDialogs;

class frmSave : public QDialog {
    Q_OBJECT

  public:
    // Composes the report of the reading, modal over the results window that
    // shows it (the parent).
    // A report composed ahead of its Print handles its links only once shown.
    enum class Links { Now, WhenShown };
    explicit frmSave(const CompatibilityRunRecord& run, QWidget* parent = nullptr,
                     Links links = Links::Now);
    ~frmSave() override;

    // Shows the window modal over its parent and waits; it goes once closed.
    static void ShowModal(frmSave* window);

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
// For tests: the user whose own links Save and Print follow in a shared
// folder, in place of the one running the program; none restores that one.
// A test's own links then count as another user's, without root.
void SetLinkUserForTesting(std::optional<uint> user);
