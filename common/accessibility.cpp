#include "common/accessibility.h"

#include <QAccessibleApplication>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolTip>
#include <QWindow>

#ifdef LUNVEX_ATSPI
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#endif

#include "common/ending.h"
#include "common/linklabel.h"
#include "common/textaccessible.h"

namespace {

// Dynamic properties that mark a widget for the program's own interfaces.
constexpr char kValueOf[] = "lunvexValueOf";
constexpr char kPanel[] = "lunvexPanel";
constexpr char kAnnouncer[] = "lunvexAnnouncer";

// A link label, read as a link that a screen reader or switch can activate.
// Where another label lies over it (the stacked promotions), it is hidden to
// assistive technology as it is to the eye.
class LinkAccessible : public QAccessibleWidget {
  public:
    explicit LinkAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && label()->accessibleName().isEmpty())
            return label()->text().simplified();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Covered()) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // Only what a person could click: shown, enabled and in front.
        if (label()->isVisible() && label()->isEnabled() && !Covered()) label()->activate();
    }

  private:
    LinkLabel* label() const { return static_cast<LinkLabel*>(widget()); }

    bool Covered() const {
        const QWidget* parent = label()->parentWidget();
        if (!parent || !label()->isVisible()) return false;
        const QWidget* top = parent->childAt(label()->geometry().center());
        return top && top != label() && !label()->isAncestorOf(top);
    }
};

// The program's own windows that are built ahead but not shown yet stay out
// of the tree: a screen reader would read them under the program's name.
class ApplicationAccessible : public QAccessibleApplication {
  public:
    int childCount() const override { return int(Shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const QObjectList shown = Shown();
        if (index < 0 || index >= shown.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(shown.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(Shown().indexOf(child->object())) : -1;
    }

  private:
    static QObjectList Shown() {
        QObjectList list;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Popup || window->type() == Qt::Desktop) continue;
            QAccessibleInterface* root = window->accessibleRoot();
            if (!root || !root->object()) continue;
            const auto* widget = qobject_cast<const QWidget*>(root->object());
            if (widget ? !widget->isVisible() : !window->isVisible()) continue;
            list.append(root->object());
        }
        return list;
    }
};

// What the window announces: a notification that shows anew with each text,
// which Orca speaks as it shows. It takes no room, focus or mouse.
class AnnouncerAccessible : public QAccessibleWidget {
  public:
    explicit AnnouncerAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->property(kAnnouncer).toString();
        return {};
    }
};

// A dialog window offers to close, as its title bar's button does: on Wayland
// a screen reader or switch cannot reach the title bar, and the report window
// has no button of its own to close it. Nothing closes under an open message.
class DialogAccessible : public QAccessibleWidget {
  public:
    explicit DialogAccessible(QDialog* dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}

    static QString closeAction() { return QStringLiteral("Close"); }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() + QStringList{closeAction()};
    }
    void doAction(const QString& name) override {
        if (name != closeAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        auto* dialog = static_cast<QDialog*>(widget());
        if (dialog->isVisible() && !modHelp::BlockedByModal(dialog)) dialog->close();
    }
};

QAccessibleInterface* ProgramInterfaces(const QString& className, QObject* object) {
    if (className == QLatin1String("LinkLabel"))
        return new LinkAccessible(static_cast<LinkLabel*>(object));
    if (object->property(kAnnouncer).isValid() && object->isWidgetType())
        return new AnnouncerAccessible(static_cast<QWidget*>(object));
    if (object->property(kPanel).isValid() && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    // The program's own dialogs; Qt's (message boxes, file and print dialogs)
    // keep Qt's interfaces, and their buttons.
    if (auto* dialog = qobject_cast<QDialog*>(object);
        dialog && dialog->isWindow() && !className.startsWith(QLatin1Char('Q')))
        return new DialogAccessible(dialog);
    if (className == QLatin1String("QApplication") && object == qApp)
        return new ApplicationAccessible;
    return TextBoxInterface(object);
}

// Shows a line edit's whole text on hovering, the way a tool tip would.
class FullTextTip : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit) return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        if (edit->text().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), edit->text(), edit);
        return true;
    }
};

// A text box that takes focus selects its text and moves its caret before Qt
// reports the focus, and unselects it as the focus leaves. Orca took the caret
// move for the focus and said nothing of the box it came to, then said "Text
// unselected" on the way out. What a box does as focus comes and goes is not
// reported: the focus report that follows says all of it.
class QuietFocusChange : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool focus = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
        if (!focus || m_delivering || !QAccessible::isActive() || !IsTextBox(watched)) return false;
        m_delivering = true;
        const QAccessible::UpdateHandler previous =
            QAccessible::installUpdateHandler([](QAccessibleEvent*) {});
        QCoreApplication::sendEvent(watched, event);
        QAccessible::installUpdateHandler(previous);
        m_delivering = false;
        return true;
    }

  private:
    static bool IsTextBox(QObject* o) {
        return qobject_cast<QLineEdit*>(o) || qobject_cast<QPlainTextEdit*>(o) ||
               qobject_cast<QTextEdit*>(o);
    }
    bool m_delivering = false;
};

#ifdef LUNVEX_ATSPI
// An object as AT-SPI names it: the bus name of its program and its path.
struct AtSpiObject {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& out, const AtSpiObject& object) {
    out.beginStructure();
    out << object.service << object.path;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, AtSpiObject& object) {
    in.beginStructure();
    in >> object.service >> object.path;
    in.endStructure();
    return in;
}

// Qt 6.4 tells AT-SPI that a widget shows or hides as a change of "showing"
// alone, though it reads "visible" along with it. A screen reader's libatspi
// keeps each state set it has read and changes only the state an event
// names: a widget read while hidden (the fields of a page behind its tab)
// stayed "not visible" for Orca once shown, and flat review skipped it. So
// each such change is told as "visible" too, as Qt's bridge would tell it:
// on its connection, under its path for the widget.
class VisibleWithShowing : public QObject {
  public:
    explicit VisibleWithShowing(QObject* parent) : QObject(parent) {
        qDBusRegisterMetaType<AtSpiObject>();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool shown = event->type() == QEvent::Show;
        // What Qt reports: no spontaneous change (a window minimised or
        // restored), no tool tip.
        if ((!shown && event->type() != QEvent::Hide) || event->spontaneous() ||
            !watched->isWidgetType() || static_cast<QWidget*>(watched)->windowType() == Qt::ToolTip)
            return false;
        QDBusConnection bus(QStringLiteral("a11y"));  // the name Qt's bridge gives it
        if (!bus.isConnected()) return false;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(watched);
        if (!a) return false;
        const QString root = QStringLiteral("/org/a11y/atspi/accessible/root");
        const QString path = QStringLiteral("/org/a11y/atspi/accessible/") +
                             QString::number(QAccessible::uniqueId(a));
        QDBusMessage signal = QDBusMessage::createSignal(
            path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("StateChanged"));
        signal << QStringLiteral("visible") << int(shown) << 0
               << QVariant::fromValue(QDBusVariant(
                      QVariant::fromValue(AtSpiObject{bus.baseService(), QDBusObjectPath(path)})))
               << QVariant::fromValue(AtSpiObject{bus.baseService(), QDBusObjectPath(root)});
        bus.send(signal);
        return false;
    }
};
#endif

}  // namespace

void InstallAccessibility() {
    QAccessible::installFactory(&ProgramInterfaces);
    qApp->installEventFilter(new QuietFocusChange(qApp));
#ifdef LUNVEX_ATSPI
    qApp->installEventFilter(new VisibleWithShowing(qApp));
#endif
}

void ExposeValue(QLabel* value, const QString& what) {
    value->setProperty(kValueOf, what);
    SpeakValue(value);
}

void SpeakValue(QLabel* value) {
    const QString what = value->property(kValueOf).toString();
    if (what.isEmpty()) return;
    // Qt's own interface for a label reads its accessible name in place of its text.
    const QString shown = value->text().simplified();
    value->setAccessibleName(shown.isEmpty() ? what : what + QStringLiteral(": ") + shown);
}

void ExposeAsPanel(QWidget* widget) { widget->setProperty(kPanel, true); }

void ShowFullTextOnHover(QWidget* control) {
    static FullTextTip* tip = new FullTextTip(qApp);
    control->installEventFilter(tip);
}

void Announce(QWidget* window, const QString& text) {
    if (!window || text.isEmpty()) return;
    window = window->window();
    auto* announcer = window->findChild<QWidget*>(QLatin1String(kAnnouncer));
    if (!announcer) {
        announcer = new QWidget(window);
        announcer->setObjectName(QLatin1String(kAnnouncer));
        announcer->setFocusPolicy(Qt::NoFocus);
        announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
        announcer->setGeometry(0, 0, 0, 0);
    }
    announcer->setProperty(kAnnouncer, text);
    // Each showing is one announcement.
    announcer->hide();
    if (window->isVisible()) announcer->show();
}
