// The results window: the pair's compatibility and both persons' profiles on
// three tabs, filled by the compatibility run.
#pragma once

#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPair>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

namespace Ui {
class frmchiness;
}
class frmSave;

class frmchiness : public QMainWindow {
    Q_OBJECT

  public:
    // The results window: the one that is loaded, or a newly loaded one.
    static frmchiness* Obtain();
    // The loaded results window, or nullptr.
    static frmchiness* Loaded() { return s_loaded; }
    // Builds a results window ahead, hidden and not yet loaded, so that the
    // next Obtain only has to fill and show it. Does nothing when one is
    // loaded or ready.
    static void PrepareSpare();
    // The results window built ahead, or nullptr.
    static frmchiness* Spare() { return s_spare; }

    // A report window composed ahead for the next Print, or nullptr; taking
    // it hands it over to the caller. Forgotten whenever the window is filled
    // anew, so a report never shows an earlier reading.
    frmSave* TakePreparedReport();
    void ForgetPreparedReport();

    ~frmchiness() override;

    // The controls, with any fill still waiting for the first paint done.
    Ui::frmchiness& controls() {
        FinishFilling();
        return *ui;
    }

    // Fills what the opening tab does not show once the window has painted,
    // so that the pair shows sooner; at once when the window is already on
    // screen. Anything that reads the controls or turns to another tab
    // before then gets the fill done first.
    void FillAfterFirstPaint(std::function<void()> fill);
    void FinishFilling();

    // The twelve animal pictures, keyed by western zodiac sign, in list order.
    const QList<QPair<QString, QPixmap>>& IMG() const { return m_images; }
    // Shows the first picture whose key equals the key; false, and the box
    // unchanged, when none does.
    bool ShowPicture(QLabel* box, const QString& key) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit frmchiness(QWidget* parent = nullptr);
    void cmdBack_Click();
    void cmdPrint_Click();
    void PrepareReport();

    std::unique_ptr<Ui::frmchiness> ui;
    QList<QPair<QString, QPixmap>> m_images;
    QStringList m_animals;     // the animal each picture shows, in the same order
    bool m_goingBack = false;  // Back closes this window as a hand-off
    std::function<void()> m_pendingFill;
    QPointer<frmSave> m_preparedReport;
    static QPointer<frmchiness> s_loaded;
    static QPointer<frmchiness> s_spare;
};
