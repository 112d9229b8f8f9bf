#include "shell/frmabout.h"

#include <QApplication>

#include "common/ending.h"
#include "common/placement.h"
#include "common/programicon.h"
#include "common/vendorpages.h"
#include "common/windowlook.h"
#include "ui_frmabout.h"

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>()) {
    ui->setupUi(this);
    modHelp::RegisterLoadedWindow(this);
    setWindowTitle(modHelp::WindowCaption);
    KeepLightLook(this);
    // Fixed size, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(454, 251);

    ui->Picture1->setPixmap(ProgramIcon().pixmap(32, 32));
    ui->Picture1->setAccessibleName(modHelp::ApplicationTitle + QStringLiteral(" icon"));
    // The icon sits on the light window colour of the other windows, not on
    // this window's white.
    QPalette iconBackground = ui->Picture1->palette();
    iconBackground.setColor(QPalette::Window, LightPalette().color(QPalette::Window));
    ui->Picture1->setPalette(iconBackground);
    ui->Label2->setFont(VerdanaFont(9.75, true));
    ui->Label1->setFont(VerdanaFont(8.25));
    ui->lblHomePage->setFont(VerdanaFont(8.25, false, true));
    ui->Label3->setFont(VerdanaFont(8.25, true));
    ui->lblCoBrand->setFont(VerdanaFont(8.25, false, true));
    ui->lblHomePage->setText(QStringLiteral("Click here to visit http://") + modHelp::VendorHost());

    // OK is both the default and the cancel button: Enter and Escape close.
    connect(ui->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    modHelp::OpenPageOn(ui->lblHomePage, modHelp::PageKey::HomePage);
    modHelp::OpenPageOn(ui->lblCoBrand, modHelp::PageKey::FullyBranded);
    ui->cmdOK->setFocus();
}

frmAbout::~frmAbout() = default;

void frmAbout::ShowModal(QWidget* parent) {
    // On the heap: if the program ends while this is open, the window goes
    // with its parent and exec() notices.
    auto* about = new frmAbout(parent);
    about->setAttribute(Qt::WA_DeleteOnClose);
    CentreOverOwner(about, CentreOf::Screen);
    about->exec();
}
