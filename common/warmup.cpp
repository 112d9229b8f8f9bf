#include "common/warmup.h"

#include <QAbstractButton>
#include <QBackingStore>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTimer>
#include <QWidget>

#include "common/boldtitlegroupbox.h"

void PrepareBackingStore(QWidget* window) {
    QBackingStore* store = window->backingStore();
    if (!store) return;
    const QRect all(QPoint(), window->size());
    store->resize(all.size());
    store->beginPaint(all);
    if (QPaintDevice* device = store->paintDevice()) {
        // A rehearsal: lays every shown control out at its size, and loads the
        // frames and glyphs the window draws, as its real first paint would.
        QPainter painter(device);
        window->render(&painter, QPoint(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    store->endPaint();
}

void WarmTextOf(QWidget* window) {
    QImage scrap(1, 1, QImage::Format_RGB32);
    QPainter painter(&scrap);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        QFont font = w->font();
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            text = button->text();
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            text = box->title();
            if (qobject_cast<BoldTitleGroupBox*>(w)) font.setBold(true);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            text = combo->currentText();
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            text = edit->toPlainText();
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) text += tabs->tabText(i);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (const QAction* action : bar->actions()) text += action->text();
        }
        if (text.isEmpty()) continue;
        painter.setFont(font);
        painter.drawText(QRect(QPoint(), w->size()), Qt::TextWordWrap, text);
    }
}

namespace {

class FirstPaintThen : public QObject {
  public:
    FirstPaintThen(QWidget* window, std::function<void()> task)
        : QObject(window), m_task(std::move(task)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // PrepareBackingStore paints a hidden window once: that is not the
        // first paint the user sees.
        if (event->type() == QEvent::Paint && static_cast<QWidget*>(watched)->isVisible()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_task();
                deleteLater();
            });
        }
        return false;
    }

  private:
    std::function<void()> m_task;
};

}  // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> task) {
    new FirstPaintThen(window, std::move(task));
}
