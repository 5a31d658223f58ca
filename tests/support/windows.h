#pragma once

#include <QtTest>
#include <QtWidgets>

namespace Fixture {

// Shown and made the active window, as the platform and the program see it.
inline bool activate(QWidget *w)
{
    w->show();
    w->activateWindow(); // the platform's focus window, which another window may hold
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

// Named controls shown outside their parent ("name outside") or over a sibling ("a/b"): a control
// placed at the wrong spot, or not placed at all, lands on another one or off its frame.
inline QStringList layoutClashes(const QWidget *window)
{
    const auto shown = [window](const QWidget *w) {
        return w->window() == window && !w->objectName().isEmpty()
            && !w->objectName().startsWith(u"qt_") && !w->isWindow() && w->isVisible();
    };
    // Neighbours may touch by a pixel of rounding; a third of the smaller one
    // covered is a clash (a label's box may reach under the field it names).
    const auto covers = [](const QRect &a, const QRect &b) {
        const QRect both = a & b;
        return 3 * both.width() * both.height()
            > std::min(a.width() * a.height(), b.width() * b.height());
    };
    QStringList clashes;
    const QList<QWidget *> all = window->findChildren<QWidget *>();
    for (const QWidget *a : all) {
        if (!shown(a))
            continue;
        if (!a->parentWidget()->rect().contains(a->geometry()))
            clashes << a->objectName() + u" outside";
        for (const QWidget *b : all)
            if (shown(b) && a->objectName() < b->objectName()
                && a->parentWidget() == b->parentWidget() && covers(a->geometry(), b->geometry()))
                clashes << a->objectName() + u'/' + b->objectName();
    }
    return clashes;
}

} // namespace Fixture
