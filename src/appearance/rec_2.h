#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's icon, name, maker and version, and a link to the maker's site.
// Modal, of fixed size, centred on the screen when shown.
class TAboutBox_rec : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox_rec(QWidget* parent = nullptr);

    QFrame* sPanel1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* sLabel1 = nullptr;              // "Recorder/Logger"
    QLabel* sLabel2 = nullptr;              // "Software for Lumivale"
    QLabel* sLabel3 = nullptr;              // "KORVIX 4Ch signal recorder "
    QLabel* sLabel4 = nullptr;              // "Version 1.01"
    QLabel* Label6 = nullptr;               // the maker's web address
    QLabel* sLabel5 = nullptr;              // "For Windows® XP/Vista/7/8/10"
    QPushButton* GrSpeedButton1 = nullptr;  // "OK"

    void Label6Click();
    void GrSpeedButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
