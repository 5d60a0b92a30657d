#include "ui/RunControls.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "ui/WidgetBuilders.h"

using namespace widgets;

namespace {

// The column's top left corner in the window's client area; its controls are placed from there.
constexpr QPoint Origin(604, 264);

QRect at(int x, int y, int width, int height)
{
    return {x - Origin.x(), y - Origin.y(), width, height};
}

}  // namespace

RunControls::RunControls(QWidget* parent, int width) : QWidget(parent)
{
    setObjectName(QStringLiteral("runControls"));

    elapsedPanel_ =
        makePanel(this, QStringLiteral("elapsedPanel"), at(604, 264, 125, 41), QFrame::StyledPanel | QFrame::Sunken);
    elapsedCaptionLabel_ =
        makeLabel(elapsedPanel_, QStringLiteral("elapsedCaptionLabel"), QStringLiteral("Time elapsed"), 8, 4, 115);
    elapsedTimeLabel_ =
        makeLabel(elapsedPanel_, QStringLiteral("elapsedTimeLabel"), QStringLiteral("0:00:00"), 8, 24, 115);

    statusPanel_ =
        makePanel(this, QStringLiteral("statusPanel"), at(604, 316, 125, 25), QFrame::StyledPanel | QFrame::Sunken);
    runStatusLabel_ = makeLabel(statusPanel_, QStringLiteral("runStatusLabel"), QStringLiteral("Ready"), 0, 0, 125);
    runStatusLabel_->setGeometry(2, 2, 121, 21);
    runStatusLabel_->setAlignment(Qt::AlignCenter);
    setBold(runStatusLabel_);

    runButton_ = makeButton(this, QStringLiteral("runButton"), QStringLiteral("Run"), at(604, 356, 125, 29), true);
    setBold(runButton_);
    connect(runButton_, &QToolButton::clicked, this, &RunControls::runClicked);
    singleButton_ =
        makeButton(this, QStringLiteral("singleButton"), QStringLiteral("Single"), at(604, 396, 125, 29), true);
    connect(singleButton_, &QToolButton::clicked, this, &RunControls::singleClicked);

    const QPoint statusAt = at(604, 448, 0, 0).topLeft();
    deviceStatusLabel_ = makeLabel(this, QStringLiteral("deviceStatusLabel"), QStringLiteral("- - -"), statusAt.x(),
                                   statusAt.y(), width);

    setGeometry(Origin.x(), Origin.y(), width, deviceStatusLabel_->geometry().bottom() + 1);
}
