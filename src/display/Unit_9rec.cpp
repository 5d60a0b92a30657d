#include "display/Unit_9rec.h"

Tform_9rec::Tform_9rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_9rec"));
    setWindowTitle(QStringLiteral("Add Text"));
    resize(301, 265);
}
