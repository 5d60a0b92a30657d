#pragma once

#include <QDialog>

// The "Add Text" window: the text of the screen annotation.
class Tform_9rec : public QDialog {
    Q_OBJECT
public:
    explicit Tform_9rec(QWidget* parent = nullptr);
};
