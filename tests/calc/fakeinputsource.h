#pragma once

// An InputSource over plain maps: what the main window's controls would show.

#include "calc/gatherinputs.h"

#include <QHash>
#include <QSet>

class FakeInputSource : public InputSource
{
public:
    QHash<QString, QString> texts;
    QSet<QString> selected;
    int weightChecked = 0;
    int typeA = 0;
    int typeB = 0;

    QString boxText(const QString &name) const override { return texts.value(name); }
    bool isSelected(const QString &option) const override { return selected.contains(option); }
    int checkState(const QString &) const override { return weightChecked; }
    int comboData(const QString &combo) const override
    {
        return combo == QStringLiteral("cboTypeA") ? typeA : typeB;
    }

    // The worked example of the program's documentation: two helical gears, two single-row
    // tapered roller bearings mounted face to face.
    static FakeInputSource workedExample()
    {
        FakeInputSource s;
        const char *boxes[][2] = {
            {"txtParameter_0", "WX-1"}, {"txtParameter_1", "30/20"}, {"txtParameter_2", "1000"},
            {"txtParameter_3", "300"},  {"txtParameter_4", "180"},   {"txtGear_0", "80"},
            {"txtGear_1", "200"},       {"txtGear_2", "10"},         {"txtGear_3", "20"},
            {"txtGear_4", "90"},        {"txtGear_5", "120"},        {"txtGear_6", "12"},
            {"txtGear_7", "20"},        {"txtBearingA_0", "32216"},  {"txtBearingA_1", "0.37"},
            {"txtBearingA_2", "1.6"},   {"txtBearingA_3", ""},       {"txtBearingA_4", "150"},
            {"txtBearingB_0", "32216"}, {"txtBearingB_1", "0.37"},   {"txtBearingB_2", "1.6"},
            {"txtBearingB_3", ""},      {"txtBearingB_4", "150"},    {"txtWeight", ""},
        };
        for (const auto &b : boxes)
            s.texts.insert(QString::fromLatin1(b[0]), QString::fromLatin1(b[1]));
        s.selected = {QStringLiteral("optGear1_0"), QStringLiteral("optGear2_1"),
                      QStringLiteral("optAssembleA")};
        s.typeA = 1;
        s.typeB = 1;
        return s;
    }
};
