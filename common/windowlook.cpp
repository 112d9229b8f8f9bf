#include "common/windowlook.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>
#include <QWidget>

#include "common/placement.h"
#include "common/programicon.h"
#include "common/programstyle.h"
#include "common/vendorpages.h"

namespace {
// Set once the program's own faces stand in for Verdana.
bool g_ownFacesStandIn = false;
}  // namespace

bool InstallOwnFonts(const QString& folder) {
    // Checked first: asking the font database builds it, which costs start-up
    // time wherever the program has no fonts of its own (Linux).
    const QDir fonts(folder);
    if (!fonts.exists() || QFontDatabase::hasFamily(QStringLiteral("Verdana"))) return false;
    QStringList families;
    for (const QFileInfo& file : fonts.entryInfoList({QStringLiteral("*.ttf")}, QDir::Files)) {
        const int id = QFontDatabase::addApplicationFont(file.filePath());
        if (id >= 0) families += QFontDatabase::applicationFontFamilies(id);
    }
    families.removeDuplicates();
    if (families.isEmpty()) return false;
    QFont::insertSubstitutions(QStringLiteral("Verdana"), families);
    g_ownFacesStandIn = true;
    return true;
}

void ConfigureApplicationLook(IconTiming icon) {
    // Windows without Verdana (Wine, and some editions) would fall back to a
    // serif face, wider than the windows are laid out for: the installer puts
    // the face Linux stands in for it (DejaVu Sans) beside the program.
    InstallOwnFonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    InstallProgramStyle();
    // Reading any image by name first looks through every image format
    // plugin, a millisecond or two; the style reads its frame picture in the
    // first paint. The look-up is done on another core while the first window
    // is built. Not on Windows: a plugin loaded there on another thread while
    // the window loads its own left the process hanging at exit, its windows
    // gone and its single-instance lock held, so there it waits for the
    // first paint.
#ifndef Q_OS_WIN
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
#endif
    if (icon == IconTiming::Now) InstallProgramIcon();
}

QFont VerdanaFont(qreal pointSize, bool bold, bool underline) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    // Hinted to whole pixels across, as Windows draws by default, the stand-in
    // runs a few pixels wider than the labels laid out for Verdana and the
    // longest lose their last letter; spaced as designed (as on Linux) it fits.
    if (g_ownFacesStandIn) font.setHintingPreference(QFont::PreferVerticalHinting);
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

namespace {

// Marks a window that keeps the light look, for its popups to follow it.
constexpr char kLightLook[] = "lunvexLightLook";

// The window a popup or tooltip belongs to: that of the widget it opened
// from, through the menus a submenu opened from. A dialog is a window of its
// own, so the popups of a message box or file dialog belong to it. On
// Windows Qt gives a tooltip no parent (it would raise its window): it
// belongs to the window of the widget last asked for a tooltip.
bool IsPopup(const QWidget* window) {
    return window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip;
}

QWidget* OwnerOfPopup(QWidget* popup, QWidget* askedForTip) {
    for (QWidget* from = popup->parentWidget(); from;) {
        QWidget* window = from->window();
        if (!IsPopup(window)) return window;
        from = window->parentWidget();
    }
    if (popup->windowType() == Qt::ToolTip && askedForTip) {
        QWidget* window = askedForTip->window();
        if (!IsPopup(window)) return window;
    }
    return nullptr;
}

// Menus, drop-down lists, context menus and tooltips are windows of their
// own, which Qt gives the application's (the system's) palette, or for a
// tooltip the system's tooltip colours: each takes the look of the window it
// belongs to as it is shown, before its first paint.
class PopupLook : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) return false;
        if (event->type() == QEvent::ToolTip) m_askedForTip = static_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show) return false;
        auto* popup = static_cast<QWidget*>(watched);
        if (!popup->isWindow()) return false;
        const Qt::WindowType type = popup->windowType();
        if (popup->property(kLightLook).toBool()) {
            KeepOnScreen(popup);
            return false;
        }
        if (type != Qt::Popup && type != Qt::ToolTip) return false;
        const QWidget* owner = OwnerOfPopup(popup, m_askedForTip);
        if (!owner || !owner->property(kLightLook).toBool()) return false;
        QPalette palette = owner->palette();
        // Every role set, so none is taken from the application's palette.
        for (int g = 0; g < QPalette::NColorGroups; ++g)
            for (int r = 0; r < QPalette::NColorRoles; ++r)
                palette.setBrush(QPalette::ColorGroup(g), QPalette::ColorRole(r),
                                 palette.brush(QPalette::ColorGroup(g), QPalette::ColorRole(r)));
        popup->setPalette(palette);
        // A drop-down list draws its entries as menu items, in the colours it
        // was given merged over the application's menu colours: the roles
        // must be its own, not merely inherited.
        for (QWidget* child : popup->findChildren<QWidget*>()) child->setPalette(palette);
        return false;
    }

  private:
    QPointer<QWidget> m_askedForTip;
};

void FollowWithPopups(QWidget* window) {
    static QPointer<PopupLook> filter;
    if (!filter && qApp) {
        filter = new PopupLook(qApp);
        qApp->installEventFilter(filter);
    }
    window->setProperty(kLightLook, true);
}

}  // namespace

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
    FollowWithPopups(window);
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
