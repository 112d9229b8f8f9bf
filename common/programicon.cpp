#include "common/programicon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <iterator>

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
