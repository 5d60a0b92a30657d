#pragma once

#include <QDialog>

// The about box.
class TAboutBox_rec : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox_rec(QWidget* parent = nullptr);
};
