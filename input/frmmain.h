// The input window: two names and two birth dates, and the Proceed button
// that starts the compatibility run.
#pragma once

#include <QMainWindow>

#include <memory>

#include "engine/reading.h"

namespace Ui {
class frmmain;
}

class frmmain : public QMainWindow {
    Q_OBJECT

  public:
    explicit frmmain(QWidget* parent = nullptr);
    ~frmmain() override;

    // Checks both persons' entries; shows the first problem found and answers false.
    bool ValidateInput();

    // What the user entered: both names and the three list texts of each date.
    PairEntries entries() const;

    // The two promotions that share one place; start-up brings one to the front.
    enum class Promotion { CoBrand, FullBrand };
    void bringToFront(Promotion promotion);

    Ui::frmmain& controls() { return *ui; }

  signals:
    // Proceed with entries that passed the checks.
    void proceedRequested();
    // The window closed (Exit, or its own close); the navigator tells a hand-off from an exit.
    void exitRequested();
    void aboutRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void cmdProceed_Click();

    std::unique_ptr<Ui::frmmain> ui;
};
