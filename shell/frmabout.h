// The about window: product, version, what the program does, and two links.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}

class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    // Opens a fresh about window, modal over the caller, and waits until it closes.
    static void ShowModal(QWidget* parent);

    Ui::frmAbout& controls() { return *ui; }

  private:
    std::unique_ptr<Ui::frmAbout> ui;
};
