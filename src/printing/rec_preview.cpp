#include "printing/rec_preview.h"

TPreviewForm_rec::TPreviewForm_rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PreviewForm_rec"));
    setWindowTitle(QStringLiteral("Print Preview"));
}
