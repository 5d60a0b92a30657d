#include "ui/DeviceActions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

#include "device/Calibration.h"
#include "device/DeviceLink.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderState.h"

namespace {

const char* const CalibrateText =
    "The recorder will now be calibrated.\rPlease make sure all the inputs are disconnected.";
const char* const CalibratedText = "Calibration completed successfully.";
const char* const CalibrationProblemText = "Calibration problem.";

#ifdef Q_OS_LINUX
const char* const CannotOpenText =
    "The KORVIX recorder was found, but it cannot be opened.\r\r"
    "A normal user needs access to the recorder's hidraw device.\r"
    "Install the udev rule udev/70-korvix.rules once:\r\r"
    "    sudo cp udev/70-korvix.rules /etc/udev/rules.d/\r"
    "    sudo udevadm control --reload\r\r"
    "Then plug the recorder in again and restart this program.";
#else
const char* const CannotOpenText =
    "The KORVIX recorder was found, but it cannot be opened.\r\r"
    "Another program may be using it: close that program, plug the recorder in again and restart "
    "this program.";
#endif

}  // namespace

bool probeRecorder(QWidget* window)
{
    DeviceLink* link = windows().device;
    if (link == nullptr || !link->FindDevice())
        return false;
    if (link->opened())
        return true;
    // Listed but not opened (on Linux mostly for want of the udev rule): the program could neither
    // command nor read it, so it is no recorder to work with. A handle that did open is let go, so
    // that nothing goes to the recorder in demo mode.
    link->release();
    showMessage(window, {QMessageBox::Warning, {}, QString::fromLatin1(CannotOpenText), QMessageBox::Ok});
    return false;
}

void calibrateRecorder(QWidget* window, RecorderState& st, const std::function<void(int)>& selectRange)
{
    const QPoint corner = window->pos();
    const MessageRequest ask{QMessageBox::Information,
                             {},
                             QString::fromLatin1(CalibrateText),
                             QMessageBox::Ok | QMessageBox::Cancel,
                             corner + QPoint(138, 200)};
    if (showMessage(window, ask) != QMessageBox::Ok)
        return;

    CalibrationResult result;
    if (DeviceLink* link = windows().device) {
        // The calibration reads without pumping messages (a second or two, ten at worst).
        // OK says the inputs are disconnected now, until the calibration is over (the simulated
        // recorder opens its inputs for that time).
        link->transport().setInputsDisconnected(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        result = runCalibration(*link, selectRange);
        QApplication::restoreOverrideCursor();
        link->transport().setInputsDisconnected(false);
    }

    if (result.success) {
        showMessage(window, {QMessageBox::Information,
                             {},
                             QString::fromLatin1(CalibratedText),
                             QMessageBox::Ok,
                             corner + QPoint(173, 200)});
        st.HwOffset = result.offset;
        st.HwOffset4 = result.offset4;
    } else {
        showMessage(window, {QMessageBox::Information,
                             {},
                             QString::fromLatin1(CalibrationProblemText),
                             QMessageBox::Ok,
                             corner + QPoint(210, 200)});
    }
}
