// The results window: the pair's compatibility and both persons' profiles on
// three tabs.
#pragma once

#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPair>
#include <QPixmap>
#include <QStringList>

#include <functional>
#include <memory>

#include "engine/reading.h"

namespace Ui {
class frmchiness;
}

class frmchiness : public QMainWindow {
    Q_OBJECT

  public:
    explicit frmchiness(QWidget* parent = nullptr);
    ~frmchiness() override;

    // Shows the reading: the compatibility tab at once, the two profile tabs
    // once the window has painted (at once when it is already on screen).
    void showReading(const CompatibilityRunRecord& run);

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

  signals:
    void backRequested();
    void printRequested();
    // The window closed (Exit, or its own close); the navigator tells a hand-off from an exit.
    void exitRequested();
    void aboutRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillProfileTabs(const PersonReading& user, const PersonReading& partner);

    std::unique_ptr<Ui::frmchiness> ui;
    QList<QPair<QString, QPixmap>> m_images;
    QStringList m_animals;  // the animal each picture shows, in the same order
    std::function<void()> m_pendingFill;
    bool m_readingAnnounced = false;  // once for each reading shown
};
