#include "ui/StartupShell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "ui/ColourDialog.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "settings/SettingsKeys.h"
#include "ui/RecorderWindow.h"

namespace {

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    for (QScreen* s : QGuiApplication::screens())
        areas.append(s->availableGeometry());
    return areas;
}

const char* const RunAnywayText =
    "Other USB data acquisition software may be active.\rSimultaneous use will cause problems.\rRun anyway?";
const char* const DemoModeText = "Software runs in demo mode.\rClick 'Run' to start the demo.";

}  // namespace

StartupShell::StartupShell(RecorderState& state, QWidget* parent) : QWidget(parent), st(state)
{
    setObjectName(QStringLiteral("StartupShell"));
    setWindowTitle(QStringLiteral("Oscilloscope"));
    setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
    handOverTimer = new QTimer(this);
    handOverTimer->setObjectName(QStringLiteral("handOverTimer"));
    handOverTimer->setSingleShot(true);
    handOverTimer->setInterval(100);
    connect(handOverTimer, &QTimer::timeout, this, &StartupShell::handOver);
    initialise();
}

StartupShell::~StartupShell() = default;

QString StartupShell::GetSpecialFolderPath(int folder)
{
    QString path;
    if (folder == 28)
        path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    else if (folder == 5)
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (path.size() > 1 && (path.endsWith('/') || path.endsWith('\\')))
        path.chop(1);
    return path;
}

void StartupShell::initialise()
{
    st.DefaultSchemeChosen = true;
    st.BlackSchemeChosen = true;

    st.SettingsColors = DefaultColours;
    st.SkinIndex = 4;
    st.DemoPhase = 0;
    st.HwOffset = 512;
    st.HwOffset4 = 0;
    st.HWdialog = true;

    st.SettingsDir = GetSpecialFolderPath(28) + QStringLiteral("/Lumivale/KORVIX");
    QDir().mkpath(st.SettingsDir);
    st.ExeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    settingsFile = std::make_unique<SettingsFile>(st.SettingsDir + QLatin1Char('/') + QLatin1String(Key::FileName));
    readStartupSettings(*settingsFile, st, bounds);
    bounds = usableBounds(bounds, screenAreas());
    setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);

    // Marks the program as running at once, so that another copy started meanwhile finds it set.
    // A settings file that cannot be written is reported at close, not here.
    readAndMarkRunning(*settingsFile, st, nullptr);

    handOverTimer->start();
}

void StartupShell::handOver()
{
    handOverTimer->stop();
    Windows& w = windows();
    RecorderWindow* rec = w.recorder;

    // The stored skin: the skin menu item of that number.
    switch (st.SkinIndex) {
        case 1:
            rec->skin1Click();
            break;
        case 2:
            rec->skin2Click();
            break;
        case 3:
            rec->skin3Click();
            break;
        case 4:
            rec->skin4Click();
            break;
        case 5:
            rec->skin5Click();
            break;
        case 6:
            rec->skin6Click();
            break;
        case 7:
            rec->skin7Click();
            break;
        case 8:
            rec->skin8Click();
            break;
        default:
            break;
    }

    st.ExeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    st.DataDir = GetSpecialFolderPath(5);
    const QString candidate = st.DataDir + QStringLiteral("/My KORVIX");

    // The "Add Text" window: stored size, top-aligned and right-aligned with the shell.
    if (w.addText != nullptr) {
        int width = w.addText->width();
        int height = w.addText->height();
        readEditFormSize(*settingsFile, width, height);
        const QSize size = usableEditSize(QSize(width, height));
        w.addText->resize(size);
        w.addText->move(bounds.left + bounds.width - size.width(), bounds.top);
    }

    st.ActiveColors = st.SettingsColors;

    if (rec->probeRecorder()) {
        rec->deviceStatusLabel->setText(QStringLiteral("KORVIX connected"));
        st.DemoMode = false;
    } else {
        rec->deviceStatusLabel->setText(QStringLiteral("KORVIX not connected"));
        st.DemoMode = true;
        rec->calibrateAction->setEnabled(false);
    }

    st.ClearPending = true;
    rec->redrawIfClearPending();

    if (st.HWdialog)
        QDir().mkpath(candidate);
    if (QDir(candidate).exists())
        st.DataDir = candidate;

    if (!st.DemoMode && st.WasRunning) {
        MessageRequest ask{
            QMessageBox::Information, {}, QString::fromLatin1(RunAnywayText), QMessageBox::Yes | QMessageBox::No};
        if (showMessage(this, ask) != QMessageBox::Yes) {
            close();
            return;
        }
    }

    showRecorderWindow();

    if (st.HWdialog && !st.DemoMode) {
        rec->calibrateClick();
        st.HWdialog = false;
    }

    if (!st.DemoMode && w.device != nullptr) {
        buildOffsetCommand(st);
        w.device->DoWrite();
    }
}

void StartupShell::showRecorderWindow()
{
    RecorderWindow* rec = windows().recorder;
    rec->move(bounds.left, bounds.top);
    rec->resize(bounds.width, bounds.height);
    rec->show();
    hide();

    for (int n = 0; n < ChannelCount; ++n) {
        QPalette pal = rec->channelLabels[n]->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Surface::toRgb(st.ActiveColors[Ch1 + n])));
        rec->channelLabels[n]->setPalette(pal);
    }

    if (st.DemoMode) {
        showMessage(rec, {QMessageBox::Information, {}, QString::fromLatin1(DemoModeText), QMessageBox::Ok});
        rec->demoSetup();
    }
}

void StartupShell::closeFromRecorder(const QRect& recorderGeometry)
{
    bounds.left = recorderGeometry.left();
    bounds.top = recorderGeometry.top();
    bounds.width = recorderGeometry.width();
    bounds.height = recorderGeometry.height();
    close();
}

void StartupShell::closeEvent(QCloseEvent* event)
{
    if (!canClose()) {
        event->ignore();
        return;
    }
    event->accept();
    finishClose();
}

void StartupShell::finishClose()
{
    if (closed_)
        return;
    closed_ = true;

    int editWidth = 301, editHeight = 265;
    if (AddTextWindow* edit = windows().addText) {
        editWidth = edit->width();
        editHeight = edit->height();
    }
    // The shell is hidden from the hand-over on; its own state is always normal, the recorder's
    // maximised or minimised state is not carried over (its normal geometry is what is kept).
    const bool normalState = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    writeShutdownSettings(*settingsFile, st, bounds, normalState, editWidth, editHeight);

    QString error;
    bool ok = settingsFile->flush(&error);
    if (st.ResetOnExit) {
        // The file is to go anyway: a failed write does not matter, a failed deletion does.
        ok = settingsFile->remove();
        if (!ok)
            error = QStringLiteral("The settings file %1 could not be deleted.").arg(settingsFile->path());
    }
    if (!ok)
        showMessage(nullptr, {QMessageBox::Warning, {}, error, QMessageBox::Ok});
    settingsFile.reset();
    QCoreApplication::quit();
}

void StartupShell::coloursClick()
{
    // The shell keeps the colour sets that go into the settings file; the dialog edits them.
    runColourDialog(st, windows().recorder, windows().colourDialog);
}
