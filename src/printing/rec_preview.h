#pragma once

#include <QDialog>

// The print preview: a miniature of the page with an editable caption.
class TPreviewForm_rec : public QDialog {
    Q_OBJECT
public:
    explicit TPreviewForm_rec(QWidget* parent = nullptr);
};
