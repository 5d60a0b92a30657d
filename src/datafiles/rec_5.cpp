#include "datafiles/rec_5.h"

TForm5_rec::TForm5_rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5_rec"));
    setWindowTitle(QStringLiteral("File Error"));
}
