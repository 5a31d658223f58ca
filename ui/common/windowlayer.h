#pragma once

// What every window of the program shares: its fonts, the twip layout and field colours, where a
// window opens on the screen and how it is brought to the front, and how screen readers see the
// program's windows and its combo boxes.

#include <QFont>
#include <QRect>

class QColor;
class QWidget;

namespace WindowLayer {

// The forms were laid out in twips; 15 twips make one pixel at 96 dpi (rounded to the nearest).
int px(int twips);

// 宋体 (SimSun, else Noto Serif CJK SC) at a size in points.
QFont songTi(double points);

// The lists and their headings: fixed cells, one for an ASCII character and two for a Chinese one,
// so that a heading stands over its columns.
QFont cellFont(double points);

// Gives a box or list the background colour `color` in every state.
void setBase(QWidget *widget, const QColor &color);

// Shows a window of the program in front: one that opens (was not on the screen) opens over
// `main` (see placeWindow), a minimised one is restored, and it takes the focus.
void bringToFront(QWidget *window, const QWidget *main);

// Where a window whose frame (title bar and border included) is `frame` opens: centred over
// `over` (the main window's frame) and moved, and if need be shrunk, so that it lies wholly inside
// `available` (the screen without panels and docks). A window larger than the screen keeps its
// top-left corner (the title bar) on the screen.
QRect openingFrame(const QRect &frame, const QRect &over, const QRect &available);

// Moves a window that is about to be shown to its opening place over `over` (itself when null)
// on the screen that `over` stands on; a window that may be resized is shrunk to fit that screen.
void placeWindow(QWidget *window, const QWidget *over);

// Makes screen readers announce every top-level window of the program as a window with its
// title (a plain QWidget window would otherwise be a nameless "filler") and name a combo box by
// its accessible name rather than by its current item. Call before the first window is built;
// further calls do nothing.
void installAccessibleRoles();

} // namespace WindowLayer
