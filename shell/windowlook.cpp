#include "shell/windowlook.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>

#include "shell/modhelp.h"

void ConfigureApplicationLook(IconTiming icon) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (icon == IconTiming::Now) InstallProgramIcon();
}

void InstallProgramIcon() {
    if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ProgramIcon());
}

namespace {

// The program icon at every size drawn, each file read only when that size is
// first wanted. A plain QIcon::addFile would first look through the icon
// engine plugins, which costs more at start-up than the whole icon.
class ProgramIconEngine : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        int best = kSizes[std::size(kSizes) - 1];
        for (int s : kSizes)
            if (s >= side) {
                best = s;
                break;
            }
        QPixmap picture(QStringLiteral(":/pictures/icon-%1.png").arg(best));
        if (picture.width() != side)
            picture = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min({size.width(), size.height(), kSizes[std::size(kSizes) - 1]});
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int s : kSizes) sizes.append(QSize(s, s));
        return sizes;
    }
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("ProgramIconEngine"); }

  private:
    static constexpr int kSizes[] = {32, 48, 64, 128, 256};
};

}  // namespace

QIcon ProgramIcon() { return QIcon(new ProgramIconEngine); }

QFont VerdanaFont(qreal pointSize, bool bold, bool underline) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QPalette LightPalette() {
    // The Fusion style's light colours.
    const QColor window(239, 239, 239);
    QPalette palette(/*windowText*/ Qt::black, /*button*/ window, /*light*/ Qt::white,
                     /*dark*/ QColor(159, 159, 159), /*mid*/ QColor(184, 184, 184),
                     /*text*/ Qt::black, /*brightText*/ Qt::white, /*base*/ Qt::white, window);
    palette.setColor(QPalette::Midlight, QColor(202, 202, 202));
    palette.setColor(QPalette::Shadow, QColor(118, 118, 118));
    palette.setColor(QPalette::Highlight, QColor(48, 140, 198));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, Qt::blue);
    palette.setColor(QPalette::LinkVisited, Qt::magenta);
    palette.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    palette.setColor(QPalette::NoRole, Qt::black);
    const QColor disabledText(190, 190, 190);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    palette.setColor(QPalette::Disabled, QPalette::Dark, QColor(190, 190, 190));
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(177, 177, 177));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    return palette;
}

void KeepLightLook(QWidget* window) {
    QPalette palette = LightPalette();
    const QPalette own = window->palette();
    // Setting every brush marks every role as the window's own: a role left
    // unset would still be taken from the application's palette.
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = QPalette::ColorGroup(g);
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = QPalette::ColorRole(r);
            palette.setBrush(
                group, role,
                own.isBrushSet(group, role) ? own.brush(group, role) : palette.brush(group, role));
        }
    }
    window->setPalette(palette);
}

void ApplyWindowLook(QWidget* window) {
    window->setWindowTitle(modHelp::WindowCaption);
    window->setFont(VerdanaFont(8.25));
    KeepLightLook(window);
}

void SetPointSize(QWidget* widget, qreal pointSize) {
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    widget->setFont(font);
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
        if (event->type() == QEvent::Paint) {
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
