#pragma once

#include <QDialog>

// The "File Error" window: rejects a file that is not a recorder data file.
class TForm5_rec : public QDialog {
    Q_OBJECT
public:
    explicit TForm5_rec(QWidget* parent = nullptr);
};
