// Which window follows which: Proceed, Back, Print, About and Exit. Owns the
// latest reading, the loaded results window, the one built ahead, the report
// composed ahead, and the one hand-off in progress.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <optional>

#include "engine/reading.h"

class frmmain;
class frmchiness;
class frmSave;

class Navigator {
  public:
    static Navigator& instance();

    // A fresh input window, not yet shown, its requests handled here.
    frmmain* newInput();
    // The loaded results window, or a newly loaded one.
    frmchiness* results();
    frmchiness* loadedResults() const;
    // Builds a results window ahead, hidden and not yet loaded, so that the
    // next Proceed only has to fill and show it. Does nothing when one is
    // loaded or ready.
    void prepareSpareResults();
    frmchiness* spareResults() const;
    // The report composed ahead for the next Print, or nullptr; taking it
    // hands it over to the caller.
    frmSave* takePreparedReport();
    // The latest reading: what the loaded results window shows and its
    // report is composed from. Empty before the first Proceed.
    const CompatibilityRunRecord& reading() const { return m_reading; }

  private:
    Navigator() = default;
    void proceed(frmmain* input);
    void back(frmchiness* results);
    void print(frmchiness* results);
    void about(QWidget* window);
    void exitFrom(QWidget* window);
    void prepareReport();
    void handOff(QWidget* from, QWidget* to, std::optional<QPoint> frameAt = std::nullopt);

    CompatibilityRunRecord m_reading;
    QPointer<frmchiness> m_loaded;
    QPointer<frmchiness> m_spare;
    QPointer<frmSave> m_preparedReport;  // composed over m_loaded, goes with it
    QPointer<QWidget> m_handingOff;      // the window a hand-off is closing
    // Where Proceed found the input window and put the results window, for
    // Back to put the input window where the user left it.
    struct Left {
        QPoint input, results;
        QPointer<QScreen> screen;
    };
    std::optional<Left> m_left;
};
