#pragma once

// 帮助 → 关于 Tolvenar: the program's name and version (from the build), the Qt version it runs
// on, its licence (MIT, the text of LICENSE) and the folder that holds the record files.

#include <QDialog>

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // The version the build gives the program (the CMake project version).
    static QString version();
    // The licence text shipped with the program (LICENSE).
    static QString licenceText();
};
