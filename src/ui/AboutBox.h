#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's icon, name, maker and version, and a link to the maker's site.
// Modal, of fixed size, centred on the screen when shown.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    void webAddressClick();
    void okClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* framePanel_ = nullptr;
    QLabel* iconLabel_ = nullptr;
    QLabel* titleLabel_ = nullptr;       // "Recorder/Logger"
    QLabel* makerLabel_ = nullptr;       // "Software for Lumivale"
    QLabel* productLabel_ = nullptr;     // "KORVIX 4Ch signal recorder "
    QLabel* versionLabel_ = nullptr;     // "Version 1.01"
    QLabel* webAddressLabel_ = nullptr;  // the maker's web address
    QLabel* platformLabel_ = nullptr;    // "For Windows® XP/Vista/7/8/10"
    QPushButton* okButton_ = nullptr;    // "OK"
};
