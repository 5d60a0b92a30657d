#include "display/Unit7.h"

TBtnBottomDlg2::TBtnBottomDlg2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BtnBottomDlg2"));
    setWindowTitle(QStringLiteral("Color"));
}
