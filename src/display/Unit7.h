#pragma once

#include <QDialog>

// The colour dialog: edits the eight screen colours and applies the two default schemes.
class TBtnBottomDlg2 : public QDialog {
    Q_OBJECT
public:
    explicit TBtnBottomDlg2(QWidget* parent = nullptr);
};
