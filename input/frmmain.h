// The input window: two names and two birth dates, and the Proceed button
// that starts the compatibility run.
#pragma once

#include <QMainWindow>

#include <memory>

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

    Ui::frmmain& controls() { return *ui; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void cmdProceed_Click();

    std::unique_ptr<Ui::frmmain> ui;
    bool m_proceeding = false;  // the run closes this window as a hand-off
};
