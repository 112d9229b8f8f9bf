#include "common/programstyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QIconEngine>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtGlobal>
#include <algorithm>

namespace {

// Fusion draws a group box's frame by stretching a small picture over the
// whole box, a tab widget's frame with tall translucent lines, and a scroll
// bar with tall gradients; Qt 6.4's raster engine splits each fill of more
// than 95 rows across worker threads and waits for them. Measured on Qt 6.4.2
// (Debian 12, two cores, offscreen): painting a 593 x 393 titled group box took
// 0.44 ms as Fusion draws it and 0.15 ms with its frame kept. The threshold is
// the engine's private choice, so the workarounds hold only for the versions
// they were measured on; any other Qt draws as plain Fusion.
#if QT_VERSION >= QT_VERSION_CHECK(6, 4, 0) && QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
constexpr bool kRasterWorkarounds = true;
#else
constexpr bool kRasterWorkarounds = false;
#endif

// The pictures the windows shown at once look up (the results, report and
// about windows with their kept frames, and Qt's own): measured at 2.4 MB.
// A file dialog leaves pictures no later opening asks for, about 15 KB each
// time; under this limit they push out the oldest instead of piling up.
constexpr int kPixmapCacheKb = 3 * 1024;

// Rows of a scroll bar drawn at a time: fewer than the engine's threshold.
constexpr int kScrollBarBand = 64;

// A standard icon fetched from the style only when first drawn. A menu bar
// asks for its overflow button's icon as it is built, and Fusion reads that
// from image files, probing every image format: most of two milliseconds of
// start-up for a button shown only when the menus do not fit, as ours do.
class DeferredStandardIcon : public QIconEngine {
  public:
    DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which)
        : m_style(style), m_which(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredStandardIcon(m_style, m_which); }
    QString key() const override { return QStringLiteral("DeferredStandardIcon"); }

  private:
    const QIcon& Icon() {
        if (!m_fetched && m_style) m_icon = m_style->standardIcon(m_which);
        m_fetched = true;
        return m_icon;
    }
    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    QIcon m_icon;
    bool m_fetched = false;
};

// Paints pixel for pixel, only moved: what a kept or banded drawing needs
// to come out exact.
bool Unscaled(const QPainter* painter) {
    return painter && painter->deviceTransform().type() <= QTransform::TxTranslate;
}

// Copies the picture one rectangle of the area being painted at a time,
// without smoothing (it is drawn at its own size). Where a control hides
// part of a frame, that area is several rectangles; onto those, or with
// smoothing on, the raster engine blends the picture span by span on
// worker threads it waits for, where onto one rectangle it copies rows.
void CopyPicture(QPainter* painter, QPoint at, const QPixmap& picture) {
    const QTransform& device = painter->deviceTransform();
    const QPoint offset(qRound(device.dx()), qRound(device.dy()));
    const QPaintEngine* engine = painter->paintEngine();
    QRegion area(QRect(at + offset, picture.size()));
    if (engine && !engine->systemClip().isEmpty()) area &= engine->systemClip();
    if (painter->hasClipping()) area &= painter->clipRegion().translated(offset);
    const auto copy = [&](const QRect* part) {
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (part) painter->setClipRect(part->translated(-offset), Qt::IntersectClip);
        painter->drawPixmap(at, picture);
        painter->restore();
    };
    if (area.rectCount() <= 1 || QPointF(offset) != QPointF(device.dx(), device.dy())) {
        copy(nullptr);
        return;
    }
    for (const QRect& part : area) copy(&part);
}

// Names everything the frame's pixels depend on (element, size, state,
// direction, colours, pixel density, the kind of widget and what that kind
// adds), or nothing for a primitive drawn as usual.
QString CacheKey(QStyle::PrimitiveElement element, const QStyleOption* option,
                 const QWidget* widget, const QPainter* painter) {
    if (!option || option->rect.isEmpty()) return {};
    QString own;
    if (element == QStyle::PE_FrameGroupBox &&
        qstyleoption_cast<const QStyleOptionFrame*>(option)) {
        // Fusion leaves less room above a box with neither title nor check box.
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        const bool bare = box && !box->isCheckable() && box->title().isEmpty();
        own = QStringLiteral("%1-%2").arg(option->fontMetrics.height()).arg(bare);
    } else if (element == QStyle::PE_FrameTabWidget) {
        const auto* tabs = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option);
        if (!tabs) return {};
        own = QString::number(int(tabs->shape));
    } else {
        return {};
    }
    const qreal density = painter && painter->device() ? painter->device()->devicePixelRatio() : 1;
    return QStringLiteral("lunvex-frame-%1-%2x%3-%4-%5-%6-%7-%8-")
               .arg(int(element))
               .arg(option->rect.width())
               .arg(option->rect.height())
               .arg(int(option->state))
               .arg(int(option->direction))
               .arg(option->palette.cacheKey())
               .arg(density)
               .arg(QLatin1String(widget ? widget->metaObject()->className() : "none")) +
           own;
}

}  // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
        return QIcon(new DeferredStandardIcon(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
}

// Each frame is drawn once per key and kept; painting it is then a straight
// copy.
void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    // A copy is exact only onto pixels of the size it was drawn for: a
    // scaled painter (a high-density screen, a print) draws as usual.
    const QString key = kRasterWorkarounds && Unscaled(painter)
                            ? CacheKey(element, option, widget, painter)
                            : QString();
    if (key.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(option->rect.size());
        // Short of memory there is no picture, and Fusion's drawing through a
        // painter that could not start crashes: the frame is left out.
        if (picture.isNull()) return;
        picture.fill(Qt::transparent);
        QPainter drawing(&picture);
        if (!drawing.isActive()) return;
        drawing.translate(-option->rect.topLeft());
        QProxyStyle::drawPrimitive(element, option, &drawing, widget);
        drawing.end();
        QPixmapCache::insert(key, picture);
    }
    CopyPicture(painter, option->rect.topLeft(), picture);
}

// A scroll bar as Fusion draws it, a band of rows at a time into a scrap
// image that holds only that band: its tall gradient fills would each go to
// worker threads the engine waits for, which it does only for a fill of more
// rows than a band holds.
void ProgramStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
    // Fusion draws a scroll bar's arrows in the text colour it inherits, and
    // a frame may colour its captions (the compatibility frame's dark red):
    // the arrows take their window's text colour instead, as every other
    // scroll bar's do.
    QStyleOptionSlider arrows;
    if (const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        control == CC_ScrollBar && slider && widget) {
        arrows = *slider;
        const QPalette& own = widget->window()->palette();
        for (int g = 0; g < QPalette::NColorGroups; ++g) {
            const auto group = QPalette::ColorGroup(g);
            arrows.palette.setBrush(group, QPalette::WindowText,
                                    own.brush(group, QPalette::WindowText));
        }
        option = &arrows;
    }
    if (!kRasterWorkarounds || control != CC_ScrollBar || !option ||
        option->rect.height() <= kScrollBarBand || !Unscaled(painter)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect all = option->rect;
    QImage band(all.width(), kScrollBarBand, QImage::Format_ARGB32_Premultiplied);
    for (int top = all.top(); top <= all.bottom(); top += kScrollBarBand) {
        band.fill(Qt::transparent);
        QPainter drawing(&band);
        drawing.setRenderHints(painter->renderHints());
        drawing.translate(-all.left(), -top);
        QProxyStyle::drawComplexControl(control, option, &drawing, widget);
        drawing.end();
        const int rows = std::min(kScrollBarBand, all.bottom() + 1 - top);
        painter->drawImage(QPoint(all.left(), top), band, QRect(0, 0, all.width(), rows));
    }
}

void InstallProgramStyle() {
    QPixmapCache::setCacheLimit(kPixmapCacheKb);
    QApplication::setStyle(new ProgramStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
}
