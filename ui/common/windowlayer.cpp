#include "ui/common/windowlayer.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace {

// A combo box as Qt describes it, except that on this platform Qt names it by its current item:
// here the name is the accessible name (the label beside it) and the item is the value.
class NamedComboAccessible : public QAccessibleWidget
{
public:
    explicit NamedComboAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value
            || (t == QAccessible::Name && widget()->accessibleName().isEmpty()))
            return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return combo()->isEditable() ? child(1) : nullptr;
    }
    QStringList actionNames() const override { return { showMenuAction(), pressAction() }; }
    void doAction(const QString &name) override
    {
        if (name != showMenuAction() && name != pressAction())
            return QAccessibleWidget::doAction(name);
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *programFactory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    // Asked once per class of the object, most derived first: answer that first question only.
    if (!widget || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return new NamedComboAccessible(combo);
    // A plain frame is a box round a group of controls; Qt's role for it reaches screen readers
    // as a frame, which is what they call a window.
    if (className == QLatin1String("QFrame"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    const Qt::WindowType type = widget->windowType();
    if (widget->isWindow() && (type == Qt::Window || type == Qt::Widget)
        && !qobject_cast<QMainWindow *>(widget) && !qobject_cast<QDialog *>(widget))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
        frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

} // namespace

namespace WindowLayer {

QRect openingFrame(const QRect &frame, const QRect &over, const QRect &available)
{
    QRect placed(QPoint(0, 0), frame.size().boundedTo(available.size()));
    const QRect centre = over.isValid() ? over : available;
    placed.moveTopLeft(QPoint(centre.left() + (centre.width() - placed.width()) / 2,
        centre.top() + (centre.height() - placed.height()) / 2));
    if (placed.right() > available.right())
        placed.moveRight(available.right());
    if (placed.bottom() > available.bottom())
        placed.moveBottom(available.bottom());
    if (placed.left() < available.left())
        placed.moveLeft(available.left());
    if (placed.top() < available.top())
        placed.moveTop(available.top());
    return placed;
}

void placeWindow(QWidget *window, const QWidget *over)
{
    if (!window)
        return;
    const QWidget *reference = over ? over : window;
    QScreen *screen = reference->screen();
    if (!screen)
        return;
    // A window gets its size when it is first shown; it is needed now.
    window->ensurePolished();
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    // The frame a window manager puts round a window is known once the window has been shown;
    // until then the main window's frame stands in.
    QMargins margins = frameMargins(window);
    if (margins.isNull() && over)
        margins = frameMargins(over);
    const QRect frame(window->pos(), window->size().grownBy(margins));
    const QRect overFrame = over && over->isVisible() ? over->frameGeometry() : QRect();
    const QRect placed = openingFrame(frame, overFrame, screen->availableGeometry());
    const QSize inner = placed.size().shrunkBy(margins);
    if (inner != window->size() && window->minimumSize() != window->maximumSize())
        window->resize(inner.expandedTo(window->minimumSize()));
    window->move(placed.topLeft());
}

void installAccessibleRoles()
{
    static const bool installed = (QAccessible::installFactory(programFactory), true);
    Q_UNUSED(installed);
}

int px(int twips)
{
    return qRound(twips / 15.0);
}

QFont songTi(double points)
{
    QFont font;
    font.setFamilies({ QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC") });
    font.setPointSizeF(points);
    return font;
}

QFont cellFont(double points)
{
    QFont font;
    font.setFamilies({ QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("NSimSun") });
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    return font;
}

void setBase(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
}

void bringToFront(QWidget *window, const QWidget *main)
{
    if (!window->isVisible())
        placeWindow(window, main);
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace WindowLayer
