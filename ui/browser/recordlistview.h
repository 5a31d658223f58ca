#pragma once

// The list widget of the record browser: a QListView whose right button never moves the selection.
// The pop-up menu works on the line selected before the right click (by a left click or the
// keyboard), so a right press or release only reports where it happened.

#include <QListView>
#include <QPoint>

class RecordListView : public QListView
{
    Q_OBJECT

public:
    explicit RecordListView(QWidget *parent = nullptr);

    // The selected row, or -1 when no line is selected.
    int selectedRow() const;
    // The height the item delegate gives a line of text in the list's font.
    int naturalRowHeight() const;

signals:
    // The right button was released over the list (globalPos in screen coordinates), or the
    // keyboard's menu key was pressed (globalPos at the selected line).
    void menuRequested(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
