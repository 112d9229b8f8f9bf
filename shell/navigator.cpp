#include "shell/navigator.h"

#include <QApplication>
#include <QTimer>

#include "common/ending.h"
#include "common/placement.h"
#include "common/warmup.h"
#include "engine/reading.h"
#include "input/frmmain.h"
#include "report/frmsave.h"
#include "report/reportprint.h"
#include "results/frmchiness.h"
#include "shell/frmabout.h"

Navigator& Navigator::instance() {
    static Navigator navigator;
    return navigator;
}

frmmain* Navigator::newInput() {
    auto* input = new frmmain;
    QObject::connect(input, &frmmain::proceedRequested, input, [this, input] { proceed(input); });
    QObject::connect(input, &frmmain::aboutRequested, input, [this, input] { about(input); });
    QObject::connect(input, &frmmain::exitRequested, input, [this, input] { exitFrom(input); });
    // While the user types, build the results window Proceed will fill.
    AfterFirstPaint(input, [this] { prepareSpareResults(); });
    return input;
}

frmchiness* Navigator::results() {
    if (m_loaded) return m_loaded;
    frmchiness* results = m_spare ? m_spare.data() : new frmchiness;
    m_spare = nullptr;
    m_loaded = results;
    modHelp::RegisterLoadedWindow(results);
    QObject::connect(results, &frmchiness::backRequested, results,
                     [this, results] { back(results); });
    QObject::connect(results, &frmchiness::printRequested, results,
                     [this, results] { print(results); });
    QObject::connect(results, &frmchiness::aboutRequested, results,
                     [this, results] { about(results); });
    QObject::connect(results, &frmchiness::exitRequested, results,
                     [this, results] { exitFrom(results); });
    // The report for the first Print is composed once the window shows.
    AfterFirstPaint(results, [this] { prepareReport(); });
    return results;
}

frmchiness* Navigator::loadedResults() const { return m_loaded; }

frmchiness* Navigator::spareResults() const { return m_spare; }

void Navigator::prepareSpareResults() {
    if (m_loaded || m_spare || modHelp::IsEnding()) return;
    m_spare = new frmchiness;
    m_spare->ensurePolished();
    m_spare->winId();  // the native window too: showing it then only maps it
    PrepareBackingStore(m_spare);
    // An ending program takes its spare along.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_spare.data(), &QObject::deleteLater);
}

frmSave* Navigator::takePreparedReport() {
    frmSave* report = m_preparedReport;
    m_preparedReport = nullptr;
    return report;
}

void Navigator::prepareReport() {
    // Only for a window that shows a reading, and never under an open report.
    if (m_preparedReport || !m_loaded || !m_loaded->isVisible() ||
        QApplication::activeModalWidget() || modHelp::IsEnding())
        return;
    m_preparedReport = new frmSave(m_reading, m_loaded, frmSave::Links::WhenShown);
    report::ReportPaperSize();  // its Save then does not wait for the print system
    m_preparedReport->winId();
    PrepareBackingStore(m_preparedReport);
}

// The next window shows first, then the one it replaces closes without
// ending the program.
void Navigator::handOff(QWidget* from, QWidget* to, std::optional<QPoint> frameAt) {
    if (frameAt)
        PlaceFrameAt(to, *frameAt, from);
    else
        PlaceOver(to, from);
    to->show();
    m_handingOff = from;
    from->close();
    m_handingOff = nullptr;
}

void Navigator::proceed(frmmain* input) {
    if (modHelp::BlockedByModal(input)) return;
    m_reading = TakeReading(input->entries(), m_reading, ZodiacEngine());
    frmchiness* shown = results();
    delete takePreparedReport();  // it would show the earlier reading
    shown->showReading(m_reading);
    const QPoint inputAt = FrameGeometryOf(input).topLeft();
    handOff(input, shown);
    m_left = Left{inputAt, FrameGeometryOf(shown).topLeft(), shown->screen()};
}

void Navigator::back(frmchiness* results) {
    if (modHelp::BlockedByModal(results)) return;  // the report or about window is open over it
    // Back where the user left the input window, moved as far as the user
    // moved the results window: centring each on the other would move them
    // by a rounding, or by a screen edge, with every reading.
    std::optional<QPoint> at;
    if (m_left && m_left->screen == results->screen())
        at = m_left->input + (FrameGeometryOf(results).topLeft() - m_left->results);
    m_left.reset();
    handOff(results, newInput(), at);
}

void Navigator::print(frmchiness* results) {
    if (modHelp::BlockedByModal(results)) return;
    const QPointer<frmchiness> self(results);
    // The report may have been composed while the user was reading.
    frmSave* report = results == m_loaded ? takePreparedReport() : nullptr;
    if (!report) report = new frmSave(m_reading, results);
    frmSave::ShowModal(report);
    if (!self) return;  // the program ended while the report was open
    // Ready for the next Print, once the user is back there.
    QTimer::singleShot(0, results, [this] { prepareReport(); });
}

void Navigator::about(QWidget* window) {
    if (!modHelp::BlockedByModal(window)) frmAbout::ShowModal(window);
}

void Navigator::exitFrom(QWidget* window) {
    // Any close but a hand-off ends the program, once this close is done.
    if (window == m_handingOff || modHelp::IsEnding()) return;
    QTimer::singleShot(0, qApp, [] { modHelp::UnloadAllAndEnd(); });
}
