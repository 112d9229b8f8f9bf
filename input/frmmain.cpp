#include "input/frmmain.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string_view>

#include "common/accessibility.h"
#include "common/ending.h"
#include "common/userdialogs.h"
#include "common/vendorpages.h"
#include "common/windowlook.h"
#include "ui_frmmain.h"

namespace {

// February, checked by list position (day 1 is position 0); the 30-day months
// have a check and a message of their own.
bool DayFitsMonth(int dayPosition, int monthPosition, const QString& yearText) {
    const bool leap = std::chrono::year{yearText.toInt()}.is_leap();
    if (monthPosition == 1) return dayPosition < (leap ? 29 : 28);
    return true;
}

bool DayFitsThirtyDayMonth(int dayPosition, int monthPosition) {
    const bool thirtyDays =
        monthPosition == 3 || monthPosition == 5 || monthPosition == 8 || monthPosition == 10;
    return !(thirtyDays && dayPosition == 30);
}

// A name is one line: line breaks pasted into a name box become single
// blanks, so the caption and the report show the same name. The two
// characters Qt's documents use to mark frames would break the report's
// paragraphs the same way. A name is kept to a length a person uses: a huge
// paste would hold up Proceed and Print for seconds.
class OneLineName : public QValidator {
  public:
    explicit OneLineName(QLineEdit* box) : QValidator(box), m_box(box) {}
    static constexpr qsizetype MostCharacters = 200;

    State validate(QString& input, int& position) const override {
        if (std::any_of(input.cbegin(), input.cend(), IsLineBreak)) {
            position = int(OnOneLine(input.left(position)).size());
            input = OnOneLine(input);
        }
        if (input.size() <= MostCharacters) {
            m_toldCut = false;
            return Acceptable;
        }
        // Not a surrogate pair split in two.
        qsizetype keep = MostCharacters;
        if (input.at(keep - 1).isHighSurrogate()) --keep;
        input.truncate(keep);
        position = std::min(position, int(keep));
        if (!m_toldCut) {
            m_toldCut = true;
            // Once the box has taken its text, not in the middle of the paste.
            QTimer::singleShot(0, m_box, [box = m_box] {
                Inform(box->window(), QStringLiteral("A name can be at most %1 characters long; "
                                                     "the rest was left out.")
                                          .arg(MostCharacters));
            });
        }
        return Acceptable;
    }

  private:
    static bool IsLineBreak(QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\v') ||
               c == QLatin1Char('\f') || c == QChar(0x85) || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
    }
    static QString OnOneLine(const QString& text) {
        QString line;
        line.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!IsLineBreak(text.at(i))) {
                line.append(text.at(i));
                continue;
            }
            line.append(QLatin1Char(' '));
            // CR LF is one break.
            if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        }
        return line;
    }

    QLineEdit* m_box;
    mutable bool m_toldCut = false;
};

// What the year box says while January or February is chosen: the day that
// year's Chinese New Year falls on, so that a sign other than the birth
// year's comes as no surprise. Empty for a year outside the calendar.
QString ChineseNewYearNote(int gregorianYear) {
    using namespace std::chrono;
    // The Chinese year that holds the end of a Gregorian year began in it.
    const auto row = zodiac::ChineseYearOf(year{gregorianYear} / December / 31);
    if (!row) return {};
    return QStringLiteral("The Chinese New Year of %1 falls on %2.")
        .arg(QString::number(gregorianYear), QString::fromStdString(BirthDateTextOf(row->Start)));
}

// On Linux a list is read by its entry ("1936"), a label may stand in for its
// name, and Qt 6.4 gives a screen reader no way to hear a change of entry. So
// the description says what the list is and what it holds, and changes with
// it: Orca speaks a focused list's description anew when it changes.
void DescribeList(QComboBox* box, const std::function<QString()>& note = {}) {
    const QString what = box->accessibleName();
    QString description = what + QStringLiteral(": ") + box->currentText();
    const QString extra = note ? note() : QString();
    if (!extra.isEmpty()) description += QStringLiteral(". ") + extra;
    box->setAccessibleDescription(description);
}

// Keeps the year box's tooltip on that year's Chinese New Year while the month
// box shows January or February, and gives the box its own tooltip back
// otherwise. A screen reader hears the note with the year.
void NoteChineseNewYear(QComboBox* monthBox, QComboBox* yearBox) {
    const QString ownTip = yearBox->toolTip();
    const auto update = [monthBox, yearBox, ownTip] {
        const int month = monthBox->currentIndex();
        const QString note = month == 0 || month == 1
                                 ? ChineseNewYearNote(yearBox->currentText().toInt())
                                 : QString();
        yearBox->setToolTip(note.isEmpty() ? ownTip : note);
        DescribeList(yearBox, [&note] { return note; });
    };
    QObject::connect(yearBox, &QComboBox::currentIndexChanged, yearBox, [yearBox] {
        if (yearBox->hasFocus()) Announce(yearBox, yearBox->currentText());
    });
    QObject::connect(monthBox, &QComboBox::currentIndexChanged, yearBox, update);
    QObject::connect(yearBox, &QComboBox::currentIndexChanged, yearBox, update);
    update();
}

}  // namespace

frmmain::frmmain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::frmmain>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    ApplyWindowLook(this);
    ui->setupUi(this);
    modHelp::RegisterLoadedWindow(this);

    ui->Label2->setText(QStringLiteral("Click Here To Visit ") + modHelp::VendorHost() +
                        QStringLiteral(" Now"));
    // Absolute layout: the window keeps the size it was drawn at.
    ui->centralwidget->setFixedSize(329, 391);
    setFixedSize(sizeHint());

    // Load: the lists, then the first entry of each.
    for (int n = 1; n <= 31; ++n) {
        ui->CboMaleDate->addItem(QString::number(n));
        ui->cboFemaleDate->addItem(QString::number(n));
    }
    QStringList months;
    for (std::string_view month : kMonthNames)
        months.append(QString::fromLatin1(month.data(), qsizetype(month.size())));
    ui->cboMaleMonth->addItems(months);
    ui->cboFemaleMonth->addItems(months);
    for (int y = 1936; y <= 2019; ++y) {
        ui->cboMaleYear->addItem(QString::number(y));
        ui->cboFemaleYear->addItem(QString::number(y));
    }
    for (QComboBox* box : {ui->CboMaleDate, ui->cboMaleMonth, ui->cboMaleYear, ui->cboFemaleDate,
                           ui->cboFemaleMonth, ui->cboFemaleYear}) {
        box->setCurrentIndex(0);
        box->setMaxVisibleItems(12);
    }
    // Names a screen reader speaks for the controls without a label of their own.
    const std::pair<QWidget*, const char*> spoken[] = {
        {ui->txtMaleName, "Your name"},
        {ui->cboMaleMonth, "Your birth month"},
        {ui->CboMaleDate, "Your birth day"},
        {ui->cboMaleYear, "Your birth year"},
        {ui->txtFemaleName, "Your partner's name"},
        {ui->cboFemaleMonth, "Your partner's birth month"},
        {ui->cboFemaleDate, "Your partner's birth day"},
        {ui->cboFemaleYear, "Your partner's birth year"}};
    for (const auto& [widget, name] : spoken) {
        widget->setAccessibleName(QString::fromUtf8(name));
        auto* list = qobject_cast<QComboBox*>(widget);
        if (!list || list == ui->cboMaleYear || list == ui->cboFemaleYear) continue;
        connect(list, &QComboBox::currentIndexChanged, list, [list] {
            DescribeList(list);
            if (list->hasFocus()) Announce(list, list->currentText());
        });
        DescribeList(list);
    }
    NoteChineseNewYear(ui->cboMaleMonth, ui->cboMaleYear);
    NoteChineseNewYear(ui->cboFemaleMonth, ui->cboFemaleYear);
    for (QLineEdit* name : {ui->txtMaleName, ui->txtFemaleName})
        name->setValidator(new OneLineName(name));
    ui->Label3->setBuddy(ui->txtMaleName);
    ui->Label6->setBuddy(ui->txtFemaleName);
    ui->Label4->setBuddy(ui->cboMaleMonth);
    ui->Label7->setBuddy(ui->cboFemaleMonth);
    ui->txtMaleName->setFocus();

    connect(ui->cmdProceed, &QPushButton::clicked, this, &frmmain::cmdProceed_Click);
    connect(ui->mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(ui->mnuAbout, &QAction::triggered, this, &frmmain::aboutRequested);
    modHelp::OpenSharedMenuPages(
        {ui->mnuOnline, ui->mnuVisit, ui->mnuUpdate, ui->mnuDonate, ui->mnumakemoney});
    modHelp::OpenPageOn(ui->Label1, modHelp::PageKey::HomePage);
    modHelp::OpenPageOn(ui->Label2, modHelp::PageKey::HomePage);
    modHelp::OpenPageOn(ui->lblCobrand, modHelp::PageKey::CoBrand);
    modHelp::OpenPageOn(ui->lblFullBrand, modHelp::PageKey::FullyBranded);
}

frmmain::~frmmain() = default;

bool frmmain::ValidateInput() {
    if (ui->txtMaleName->text().isEmpty()) {
        Inform(this, QStringLiteral("Please enter Your Name"));
        ui->txtMaleName->setFocus();
        return false;
    }
    if (ui->txtFemaleName->text().isEmpty()) {
        Inform(this, QStringLiteral("Please Enter Your Partner's Name"));
        ui->txtFemaleName->setFocus();
        return false;
    }
    const int maleDay = ui->CboMaleDate->currentIndex();
    const int maleMonth = ui->cboMaleMonth->currentIndex();
    if (!DayFitsMonth(maleDay, maleMonth, ui->cboMaleYear->currentText())) {
        Inform(this, QStringLiteral("Please Enter Your Correct Date Or Month!"));
        return false;
    }
    if (!DayFitsThirtyDayMonth(maleDay, maleMonth)) {
        Inform(this, QStringLiteral("Please Enter Your Correct Date Or Month !"));
        return false;
    }
    const int femaleDay = ui->cboFemaleDate->currentIndex();
    const int femaleMonth = ui->cboFemaleMonth->currentIndex();
    if (!DayFitsMonth(femaleDay, femaleMonth, ui->cboFemaleYear->currentText())) {
        Inform(this, QStringLiteral("Please Enter Your Partner's Correct Date Or Month!"));
        return false;
    }
    if (!DayFitsThirtyDayMonth(femaleDay, femaleMonth)) {
        Inform(this, QStringLiteral("Please Enter Your Partner's Correct Date Or Month !"));
        return false;
    }
    return true;
}

PairEntries frmmain::entries() const {
    return {
        {ui->txtMaleName->text().toStdString(), ui->CboMaleDate->currentText().toStdString(),
         ui->cboMaleMonth->currentText().toStdString(),
         ui->cboMaleYear->currentText().toStdString()},
        {ui->txtFemaleName->text().toStdString(), ui->cboFemaleDate->currentText().toStdString(),
         ui->cboFemaleMonth->currentText().toStdString(),
         ui->cboFemaleYear->currentText().toStdString()}};
}

void frmmain::bringToFront(Promotion promotion) {
    (promotion == Promotion::CoBrand ? ui->lblCobrand : ui->lblFullBrand)->raise();
}

void frmmain::cmdProceed_Click() {
    if (modHelp::BlockedByModal(this)) return;  // never close this under an open about window
    if (ValidateInput()) emit proceedRequested();
}

void frmmain::closeEvent(QCloseEvent* event) {
    if (modHelp::RefuseCloseUnderModal(this, event)) return;
    event->accept();
    if (!modHelp::IsEnding()) emit exitRequested();
}
