#include "results/frmchiness.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include "common/accessibility.h"
#include "common/ending.h"
#include "common/qtext.h"
#include "common/vendorpages.h"
#include "common/warmup.h"
#include "common/windowlook.h"
#include "results/chineseyeartip.h"
#include "ui_frmchiness.h"

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

// The reading is heard once the window has the focus, as a person sees it on
// opening. Showing a window floods a screen reader with events, and Orca 43
// drops what comes while it is flooded, so the announcement waits for that to
// pass. The page's description holds the reading for review meanwhile.
void frmchiness::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || m_readingAnnounced ||
        !QAccessible::isActive())
        return;
    m_readingAnnounced = true;
    constexpr int kAfterTheFlood = 1500;  // ms
    QTimer::singleShot(kAfterTheFlood, this, [this] {
        if (isActiveWindow()) Announce(this, ui->SSTab->currentWidget()->accessibleDescription());
    });
}

namespace {

// What a page says in a few words: its values, each read with what it is.
QString Summary(std::initializer_list<const QLabel*> values) {
    QStringList said;
    for (const QLabel* value : values) {
        // A picture is read by its animal and described by whose it is.
        const QString what =
            value->pixmap().isNull()
                ? value->accessibleName()
                : value->accessibleDescription() + QStringLiteral(": ") + value->accessibleName();
        if (!what.isEmpty()) said.append(what);
    }
    return said.join(QStringLiteral(". ")) + QLatin1Char('.');
}

}  // namespace

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
    // Read-only text a keyboard can still walk through, line by line, as a
    // screen reader user does.
    for (QPlainTextEdit* text : findChildren<QPlainTextEdit*>())
        text->setTextInteractionFlags(text->textInteractionFlags() | Qt::TextSelectableByKeyboard);

    // The bar of buttons at the bottom is a frame only in its looks.
    ExposeAsPanel(ui->Frame1);

    // Load: the compatibility tab first, keyboard focus on the tabs.
    ui->SSTab->setCurrentIndex(0);
    ui->SSTab->setFocus();
    ui->lblCobrand->raise();

    connect(ui->SSTab, &QTabWidget::currentChanged, this, &frmchiness::FinishFilling);
    // A page's values are not on the Tab path: a screen reader hears them as
    // the page comes up, and finds them in the page's description.
    connect(ui->SSTab, &QTabWidget::currentChanged, this, [this](int index) {
        if (isActiveWindow() && index >= 0)
            Announce(this, ui->SSTab->widget(index)->accessibleDescription());
    });
    ui->SSTab->installEventFilter(this);
    // Back and Print hand over to other windows: never under an open report or about window.
    const auto unlessBlocked = [this](void (frmchiness::*request)()) {
        return [this, request] {
            if (!modHelp::BlockedByModal(this)) emit(this->*request)();
        };
    };
    connect(ui->cmdBack, &QPushButton::clicked, this, unlessBlocked(&frmchiness::backRequested));
    connect(ui->mnuBack, &QAction::triggered, this, unlessBlocked(&frmchiness::backRequested));
    connect(ui->cmdPrint, &QPushButton::clicked, this, unlessBlocked(&frmchiness::printRequested));
    connect(ui->mnuPrint, &QAction::triggered, this, unlessBlocked(&frmchiness::printRequested));
    connect(ui->cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(ui->mnuAbout, &QAction::triggered, this, &frmchiness::aboutRequested);
    modHelp::OpenSharedMenuPages(
        {ui->mnuOnline, ui->mnuVisit, ui->mnuUpdate, ui->mnuDonate, ui->mnumakemoney});
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
    if (modHelp::RefuseCloseUnderModal(this, event)) return;
    event->accept();
    if (!modHelp::IsEnding()) emit exitRequested();
}

namespace {

struct ProfileBoxes {
    QLineEdit* RulingPlanet;
    QPlainTextEdit* PositiveTraits;
    QPlainTextEdit* NegativeTraits;
    QLineEdit *MostCompatibleSign, *LeastCompatibleSign, *LuckyColour, *GemStone, *Energy,
        *LuckySeasons, *LuckyMonth, *FamousPersons, *WesternZodiacSign, *LuckyNumber;
};

// A person without a profile leaves the boxes as they are.
void FillProfile(const std::optional<zodiac::SignProfile>& profile, const ProfileBoxes& b) {
    if (!profile) return;
    const zodiac::SignProfile& p = *profile;
    b.RulingPlanet->setText(Q(p.RulingPlanet));
    b.PositiveTraits->setPlainText(Q(p.PositiveTraits));
    b.NegativeTraits->setPlainText(Q(p.NegativeTraits));
    b.MostCompatibleSign->setText(Q(p.MostCompatibleSign));
    b.LeastCompatibleSign->setText(Q(p.LeastCompatibleSign));
    b.LuckyColour->setText(Q(p.LuckyColour));
    b.GemStone->setText(Q(p.GemStone));
    b.Energy->setText(Q(p.Energy));
    b.LuckySeasons->setText(Q(p.LuckySeasons));
    b.LuckyMonth->setText(Q(p.LuckyMonth));
    b.FamousPersons->setText(Q(p.FamousPersons));
    b.WesternZodiacSign->setText(Q(p.WesternZodiacSign));
    b.LuckyNumber->setText(Q(p.LuckyNumber));
    // Long texts are read from their start (the window shows them in full on hovering).
    for (QLineEdit* line : {b.RulingPlanet, b.MostCompatibleSign, b.LeastCompatibleSign,
                            b.LuckyColour, b.GemStone, b.Energy, b.LuckySeasons, b.LuckyMonth,
                            b.FamousPersons, b.WesternZodiacSign, b.LuckyNumber})
        line->setCursorPosition(0);
}

// A name shown as a frame's caption exactly as typed: an "&" in it must not
// become an access key that takes Alt+B or Alt+P from the window's buttons.
QString Caption(QString name) { return name.replace(QLatin1Char('&'), QStringLiteral("&&")); }

void SetLabel(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();  // value labels grow to fit their text
    SpeakValue(label);
}

// The picture key: the western sign without the blanks around it.
QString PictureKey(const QLineEdit* westernSign) {
    return Q(TrimSpaces(westernSign->text().toStdString()));
}

}  // namespace

void frmchiness::showReading(const CompatibilityRunRecord& run) {
    const QString userSign = Q(run.User.Sign);
    const QString partnerSign = Q(run.Partner.Sign);
    Ui::frmchiness& out = controls();  // an earlier reading's fill lands first

    // The tab the window opens on, complete before it is shown.
    SetLabel(out.lblChinesePercentage, Q(run.Result.Percentage));
    SetLabel(out.lblChineseRating, Q(run.Result.Rating));
    SetLabel(out.lblChineseCompatibilityNumber, QString::number(run.Result.Score));
    out.txtMatchingDescription->setPlainText(Q(run.Result.MatchingDescription));
    SetLabel(out.lblMatchingDescription, QStringLiteral("Compatibility Of ") + userSign +
                                             QStringLiteral(" With  ") + partnerSign +
                                             QStringLiteral(" :-"));
    out.tabCompatibility->setAccessibleDescription(Summary(
        {out.lblChineseCompatibilityNumber, out.lblChinesePercentage, out.lblChineseRating}));
    m_readingAnnounced = false;

    // The two profile tabs are not painted until chosen: they are filled once
    // the opening tab is on screen, or as soon as anything asks for them.
    FillAfterFirstPaint(
        [this, user = run.User, partner = run.Partner] { FillProfileTabs(user, partner); });
}

// Both persons' tabs: captions, sign, element, profile and picture.
void frmchiness::FillProfileTabs(const PersonReading& user, const PersonReading& partner) {
    Ui::frmchiness& out = *ui;
    out.Framale->setTitle(Caption(Q(user.Name)));
    out.Frafemale->setTitle(Caption(Q(partner.Name)));
    SetLabel(out.lblMaleChinesesign, Q(user.Sign));
    SetLabel(out.lblFemaleChineseSign, Q(partner.Sign));
    ExplainChineseYear(out.lblMaleChinesesign, ParseBirthDateText(user.BirthDateText));
    ExplainChineseYear(out.lblFemaleChineseSign, ParseBirthDateText(partner.BirthDateText));
    SetLabel(out.lblMaleChineseElements, Q(user.Element));
    SetLabel(out.lblFemaleChineseElements, Q(partner.Element));
    FillProfile(
        user.Profile,
        {out.txtMaleRulingPlanet, out.txtMalePositiveTraits, out.txtMaleNegativeTraits,
         out.txtMaleMostCompatibleSign, out.txtMAleLeastCompatibleSign, out.txtMaleLuckycolour,
         out.txtMaleGemStone, out.txtMaleEnergy, out.txtMaleLuckySeasons, out.txtMaleLuckyMonth,
         out.txtMaleFamousPersonBorn, out.txtMaleWesternZodiacSign, out.txtMaleLuckyNumber});
    out.txtMaleElementDescription->setPlainText(Q(user.ElementDescription));
    FillProfile(
        partner.Profile,
        {out.txtFemaleRulingPlanet, out.txtFemalePositiveTraits, out.txtFemaleNegativeTraits,
         out.txtFemaleMostCompatibleSign, out.txtFemaleLeastCompitibleSign,
         out.txtFemaleLuckycolour, out.txtFemaleGemStone, out.txtFemaleEnergy,
         out.txtFemaleLuckySeasons, out.txtFemaleLuckyMonth, out.txtFemaleFamousPerson,
         out.txtFemaleWesternZodiacSign, out.txtFemaleLuckyNumber});
    out.txtFemaleelementDescription->setPlainText(Q(partner.ElementDescription));

    // The pictures, keyed by each person's western sign; no match keeps the picture.
    ShowPicture(out.YourPartnerPicture, PictureKey(out.txtFemaleWesternZodiacSign));
    ShowPicture(out.YourPicture, PictureKey(out.txtMaleWesternZodiacSign));
    out.tabYourDetails->setAccessibleDescription(
        Summary({out.lblMaleChinesesign, out.lblMaleChineseElements, out.YourPicture}));
    out.tabPartnerDetails->setAccessibleDescription(
        Summary({out.lblFemaleChineseSign, out.lblFemaleChineseElements, out.YourPartnerPicture}));
}
