#include "appearance/rec_2.h"

TAboutBox_rec::TAboutBox_rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox_rec"));
    setWindowTitle(QStringLiteral("KORVIX"));
}
