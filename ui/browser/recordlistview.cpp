#include "ui/browser/recordlistview.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStringListModel>
#include <QStyleOptionViewItem>

RecordListView::RecordListView(QWidget *parent)
    : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true); // 32767 lines must not be measured one by one
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

int RecordListView::selectedRow() const
{
    const QItemSelectionModel *selection = selectionModel();
    if (selection == nullptr)
        return -1;
    const QModelIndexList rows = selection->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int RecordListView::naturalRowHeight() const
{
    const QStringListModel sample({ QStringLiteral("0") });
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegate()->sizeHint(option, sample.index(0)).height();
}

void RecordListView::mousePressEvent(QMouseEvent *event)
{
    // Qt selects the item under a right press; here the right button leaves the selection alone.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void RecordListView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (viewport()->rect().contains(event->position().toPoint()))
            emit menuRequested(event->globalPosition().toPoint());
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void RecordListView::mouseMoveEvent(QMouseEvent *event)
{
    // A drag with only the right button held must not select either.
    if (event->buttons() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void RecordListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void RecordListView::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse shows the menu on the release of the right button; the menu key shows it here.
    event->accept();
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;
    const int row = selectedRow();
    const QRect rect = row < 0 ? QRect() : visualRect(model()->index(row, 0));
    const QPoint local = rect.isValid() && viewport()->rect().intersects(rect)
        ? rect.center()
        : viewport()->rect().center();
    emit menuRequested(viewport()->mapToGlobal(local));
}
