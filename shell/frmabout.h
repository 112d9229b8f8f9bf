// The about window: product, version, what the program does, and two links.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}
class QAction;

// The menus the input and results windows share: Help's three pages and
// About, Donate, and the switched-off Make Money Online.
struct SharedMenus {
    QAction* mnuOnline;
    QAction* mnuVisit;
    QAction* mnuUpdate;
    QAction* mnuAbout;
    QAction* mnuDonate;
    QAction* mnumakemoney;
};
void ConnectSharedMenus(QWidget* window, const SharedMenus& menus);

class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    // Opens a fresh about window, modal over the caller, and waits until it closes.
    static void ShowModal(QWidget* parent);

    Ui::frmAbout& controls() { return *ui; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    std::unique_ptr<Ui::frmAbout> ui;
};
