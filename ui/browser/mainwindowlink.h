#pragma once

// What the record browser (frmView) asks of the main window. frmMain implements it; the browser
// knows nothing else of the main window. Every text the implementation writes into a main-window
// box must be handled there exactly like an edit of that box by the user (change handling,
// invalidation of results), and a change of a type list index must run the type rules.

#include <QChar>
#include <QString>

class MainWindowLink
{
public:
    virtual ~MainWindowLink() = default;

    // "->编  号". The browser has already hidden itself when this is called. The implementation
    //  1. sets the text of txtParameter(0) to number (no trailing blanks; possibly empty),
    //  2. puts the focus on txtParameter(0),
    //  3. runs RecallShaft exactly as an Enter pressed in that box would: posting an Enter key
    //     press to txtParameter(0) or calling the same handler; a number not on file changes
    //     nothing further and shows no message, as for a typed number.
    // The browser copies no other field of the shaft record.
    virtual void recallShaftNumber(const QString &number) = 0;

    // "->轴 承A" (side 'A') / "->轴 承B" (side 'B'). The browser stays shown. The implementation
    // sets, in this order, the texts of txtBearingX(0) = model, txtBearingX(1) = e,
    // txtBearingX(2) = y1, txtBearingX(3) = y2, txtBearingX(4) = cr, where X is the side, as
    // given (no trailing blanks; already cut to the browser's columns, e.g. "1234.56"; a text may
    // be empty). Then, last, when type is 0 to 4 it selects entry type of cboTypeX; when that
    // changes the index, the type rule runs (ApplyBearingTypeA for A, which also sets B's type and
    // may empty factor boxes just written; ApplyBearingTypeB for B). A type outside 0 to 4 (a bad
    // stored type) leaves cboTypeX and everything hanging on it unchanged.
    virtual void copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
        const QString &y2, const QString &cr, int type)
        = 0;
};
