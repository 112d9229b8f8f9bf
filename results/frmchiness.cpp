#include "results/frmchiness.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

#include "input/frmmain.h"
#include "report/frmsave.h"
#include "report/reportprint.h"
#include "shell/accessibility.h"
#include "shell/frmabout.h"
#include "shell/modhelp.h"
#include "shell/windowlook.h"
#include "ui_frmchiness.h"

QPointer<frmchiness> frmchiness::s_loaded;
QPointer<frmchiness> frmchiness::s_spare;

frmchiness* frmchiness::Obtain() {
    if (!s_loaded) {
        s_loaded = s_spare ? s_spare.data() : new frmchiness;
        s_spare = nullptr;
        modHelp::RegisterLoadedWindow(s_loaded);
        // The report for the first Print is composed once this window shows.
        AfterFirstPaint(s_loaded, [window = s_loaded] {
            if (window) window->PrepareReport();
        });
    }
    return s_loaded;
}

void frmchiness::PrepareSpare() {
    if (s_loaded || s_spare || modHelp::IsEnding()) return;
    s_spare = new frmchiness;
    s_spare->ensurePolished();
    s_spare->winId();  // the native window too: showing it then only maps it
    PrepareBackingStore(s_spare);
    // An ending program takes its spare along.
    connect(qApp, &QCoreApplication::aboutToQuit, s_spare.data(), &QObject::deleteLater);
}

void frmchiness::FillAfterFirstPaint(std::function<void()> fill) {
    FinishFilling();  // an earlier reading's fill never lands over this one
    if (isVisible() && testAttribute(Qt::WA_Mapped)) {
        fill();
        return;
    }
    m_pendingFill = std::move(fill);
    AfterFirstPaint(this, [this] { FinishFilling(); });  // the task goes with the window
}

void frmchiness::FinishFilling() {
    if (auto fill = std::exchange(m_pendingFill, nullptr)) fill();
}

frmSave* frmchiness::TakePreparedReport() {
    frmSave* report = m_preparedReport;
    m_preparedReport = nullptr;
    return report;
}

void frmchiness::ForgetPreparedReport() { delete TakePreparedReport(); }

void frmchiness::PrepareReport() {
    // Only for a window that shows a reading, and never under an open report.
    if (m_preparedReport || !isVisible() || QApplication::activeModalWidget() ||
        modHelp::IsEnding())
        return;
    m_preparedReport = new frmSave(this, frmSave::Links::WhenShown);
    report::ReportPaperSize();  // its Save then does not wait for the print system
    m_preparedReport->winId();
    PrepareBackingStore(m_preparedReport);
}

frmchiness::frmchiness(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::frmchiness>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    ApplyWindowLook(this);
    ui->setupUi(this);
    ui->centralwidget->setFixedSize(640, 534);
    setFixedSize(sizeHint());

    ui->Label1->setText(
        QStringLiteral("The Most Popular Online Quorian Discussion Forum. Click Here To Visit ") +
        modHelp::VendorHost() + QStringLiteral(" Now"));

    // Fonts: the bar at the bottom is 9 pt; the profile frames' captions are
    // 9.75 pt bold over contents in the window's 8.25 pt; the sign and element
    // values 11.25 pt bold.
    SetPointSize(ui->Frame1, 9);
    for (QWidget* label :
         {static_cast<QWidget*>(ui->lblFullBrand), static_cast<QWidget*>(ui->lblCobrand)})
        label->setFont(VerdanaFont(8.25, true, true));
    for (QWidget* frame :
         {static_cast<QWidget*>(ui->Framale), static_cast<QWidget*>(ui->Frafemale)}) {
        frame->setFont(VerdanaFont(9.75, true));
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setFont(VerdanaFont(8.25));
    }
    for (QLabel* value : {ui->lblMaleChinesesign, ui->lblFemaleChineseSign,
                          ui->lblMaleChineseElements, ui->lblFemaleChineseElements})
        value->setFont(VerdanaFont(11.25, true));

    // Verdana's stand-in is a little wider: keep each value clear of its caption.
    const std::pair<QLabel*, QLabel*> rows[] = {
        {ui->lblFixedNumber, ui->lblChineseCompatibilityNumber},
        {ui->lblFixedPercentage, ui->lblChinesePercentage},
        {ui->lblFixedRating, ui->lblChineseRating}};
    for (const auto& [caption, value] : rows) {
        caption->adjustSize();
        const int clear = caption->geometry().right() + 8;
        if (value->x() < clear) value->move(clear, value->y());
    }

    // The image list, in key order, each keyed by the western sign of its animal.
    const std::pair<const char*, const char*> pictures[] = {
        {"Aquarius", "tiger"},  {"Aries", "dragon"}, {"Cancer", "goat"},  {"Capricorn", "ox"},
        {"Gemini", "horse"},    {"Leo", "monkey"},   {"Libra", "dog"},    {"Pisces", "rabbit"},
        {"Sagittarius", "rat"}, {"Scorpio", "pig"},  {"Taurus", "snake"}, {"Virgo", "rooster"}};
    for (const auto& [key, animal] : pictures) {
        m_images.append({QString::fromLatin1(key),
                         QPixmap(QStringLiteral(":/pictures/%1.jpg").arg(QLatin1String(animal)))});
        QString name = QString::fromLatin1(animal);
        name[0] = name[0].toUpper();
        m_animals.append(name);
    }
    // Until the run chooses, both boxes show the first picture (below).

    // Names a screen reader speaks: each box after its person and its caption.
    const QList<QWidget*> userBoxes{
        ui->txtMaleRulingPlanet,    ui->txtMaleWesternZodiacSign,  ui->txtMalePositiveTraits,
        ui->txtMaleNegativeTraits,  ui->txtMaleGemStone,           ui->txtMaleLuckycolour,
        ui->txtMaleEnergy,          ui->txtMaleLuckySeasons,       ui->txtMaleLuckyMonth,
        ui->txtMaleLuckyNumber,     ui->txtMaleMostCompatibleSign, ui->txtMAleLeastCompatibleSign,
        ui->txtMaleFamousPersonBorn};
    const QList<QWidget*> partnerBoxes{ui->txtFemaleRulingPlanet,
                                       ui->txtFemaleWesternZodiacSign,
                                       ui->txtFemalePositiveTraits,
                                       ui->txtFemaleNegativeTraits,
                                       ui->txtFemaleGemStone,
                                       ui->txtFemaleLuckycolour,
                                       ui->txtFemaleEnergy,
                                       ui->txtFemaleLuckySeasons,
                                       ui->txtFemaleLuckyMonth,
                                       ui->txtFemaleLuckyNumber,
                                       ui->txtFemaleMostCompatibleSign,
                                       ui->txtFemaleLeastCompitibleSign,
                                       ui->txtFemaleFamousPerson};
    for (int i = 0; i < 13; ++i) {
        const QString caption = findChild<QLabel*>(QStringLiteral("lblMaleField%1").arg(i))->text();
        userBoxes[i]->setAccessibleName(QStringLiteral("Your ") + caption.toLower());
        partnerBoxes[i]->setAccessibleName(QStringLiteral("Partner's ") + caption.toLower());
    }
    // Values are heard with what they are ("Rating: A Great Match"); the
    // heading over the description speaks its own words.
    for (const auto& [caption, value] : rows) ExposeValue(value, caption->text().simplified());
    ExposeValue(ui->lblMaleChinesesign, QStringLiteral("Your Chinese sign"));
    ExposeValue(ui->lblFemaleChineseSign, QStringLiteral("Partner's Chinese sign"));
    ExposeValue(ui->lblMaleChineseElements, QStringLiteral("Your Chinese element"));
    ExposeValue(ui->lblFemaleChineseElements, QStringLiteral("Partner's Chinese element"));
    ui->txtMatchingDescription->setAccessibleName(QStringLiteral("Matching description"));
    ui->txtMaleElementDescription->setAccessibleName(QStringLiteral("Your element description"));
    ui->txtFemaleelementDescription->setAccessibleName(
        QStringLiteral("Partner's element description"));
    // A picture is read as the animal it shows, with whose it is.
    ui->YourPicture->setAccessibleDescription(QStringLiteral("Your animal"));
    ui->YourPartnerPicture->setAccessibleDescription(QStringLiteral("Partner's animal"));
    ShowPicture(ui->YourPicture, m_images.constFirst().first);
    ShowPicture(ui->YourPartnerPicture, m_images.constFirst().first);
    // A profile box's tool tip would be read again as its description.
    for (QWidget* box : userBoxes + partnerBoxes) ShowFullTextOnHover(box);
    // The bar of buttons at the bottom is a frame only in its looks.
    ExposeAsPanel(ui->Frame1);

    // Load: the compatibility tab first, keyboard focus on the tabs.
    ui->SSTab->setCurrentIndex(0);
    ui->SSTab->setFocus();
    ui->lblCobrand->raise();

    connect(ui->SSTab, &QTabWidget::currentChanged, this, &frmchiness::FinishFilling);
    ui->SSTab->installEventFilter(this);
    connect(ui->cmdBack, &QPushButton::clicked, this, &frmchiness::cmdBack_Click);
    connect(ui->mnuBack, &QAction::triggered, this, &frmchiness::cmdBack_Click);
    connect(ui->cmdPrint, &QPushButton::clicked, this, &frmchiness::cmdPrint_Click);
    connect(ui->mnuPrint, &QAction::triggered, this, &frmchiness::cmdPrint_Click);
    connect(ui->cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->mnuExit, &QAction::triggered, this, &QWidget::close);
    ConnectSharedMenus(this, {ui->mnuOnline, ui->mnuVisit, ui->mnuUpdate, ui->mnuAbout,
                              ui->mnuDonate, ui->mnumakemoney});
    modHelp::OpenPageOn(ui->Label1, modHelp::PageKey::HomePage);
    modHelp::OpenPageOn(ui->lblCobrand, modHelp::PageKey::CoBrand);
    modHelp::OpenPageOn(ui->lblFullBrand, modHelp::PageKey::FullyBranded);
}

frmchiness::~frmchiness() = default;

bool frmchiness::ShowPicture(QLabel* box, const QString& key) const {
    for (qsizetype i = 0; i < m_images.size(); ++i) {
        if (m_images.at(i).first == key) {
            box->setPixmap(m_images.at(i).second);
            box->setAccessibleName(m_animals.at(i));
            return true;
        }
    }
    return false;
}

void frmchiness::cmdBack_Click() {
    if (modHelp::BlockedByModal(this)) return;  // the report or about window is open over this
    // A fresh input window first, then this one closes as a hand-off.
    m_goingBack = true;
    auto* input = new frmmain;
    PlaceOver(input, this);
    input->show();
    close();
    m_goingBack = false;
}

void frmchiness::cmdPrint_Click() {
    if (modHelp::BlockedByModal(this)) return;
    const QPointer<frmchiness> self(this);
    frmSave::ShowModal(this);
    if (!self) return;  // the program ended while the report was open
    // Ready for the next Print, once the user is back here.
    QTimer::singleShot(0, this, [this] { PrepareReport(); });
}

// Ctrl+Tab and Ctrl+Page Up/Down from inside a page. Qt hides the page
// before it shows the next, and the hidden page hands the focus on to Back
// for that moment, which a screen reader announces. The focus goes straight
// to where it would land on the next page instead.
bool frmchiness::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui->SSTab || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::ControlModifier)) return false;
    int step = 0;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown) step = 1;
    if (key->key() == Qt::Key_Backtab || key->key() == Qt::Key_PageUp) step = -1;
    QWidget* page = ui->SSTab->currentWidget();
    QWidget* focus = QApplication::focusWidget();
    if (!step || !page || !focus || !page->isAncestorOf(focus)) return false;
    const int count = ui->SSTab->count();
    QWidget* next = ui->SSTab->widget((ui->SSTab->currentIndex() + step + count) % count);
    QWidget* target = next->focusWidget();
    for (QWidget* w = next->nextInFocusChain(); !target && w != next; w = w->nextInFocusChain())
        if (next->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled())
            target = w;
    focus->clearFocus();
    ui->SSTab->setCurrentWidget(next);
    (target ? target : next)->setFocus(Qt::TabFocusReason);
    return true;
}

void frmchiness::closeEvent(QCloseEvent* event) {
    // Closing would destroy a report or about window open over this one while
    // it still runs.
    if (!modHelp::IsEnding() && modHelp::BlockedByModal(this)) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_goingBack && !modHelp::IsEnding())
        QTimer::singleShot(0, qApp, [] { modHelp::UnloadAllAndEnd(); });
}
