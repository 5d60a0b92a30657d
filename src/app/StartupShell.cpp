#include "app/StartupShell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "settings/Folders.h"
#include "ui/RecorderWindow.h"
#include "ui/RecorderHotplug.h"
#include "ui/Skins.h"

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

StartupShell::StartupShell(RecorderState& state, AppSettings& appSettings, QWidget* parent)
    : QWidget(parent), st(state), settings(appSettings)
{
    setObjectName(QStringLiteral("StartupShell"));
    setWindowTitle(QStringLiteral("Oscilloscope"));
    setGeometry(settings.window.left, settings.window.top, settings.window.width, settings.window.height);
    handOverTimer_ = new QTimer(this);
    handOverTimer_->setObjectName(QStringLiteral("handOverTimer"));
    handOverTimer_->setSingleShot(true);
    handOverTimer_->setInterval(100);
    connect(handOverTimer_, &QTimer::timeout, this, &StartupShell::handOver);
    initialise();
}

StartupShell::~StartupShell() = default;

void StartupShell::initialise()
{
    st.SettingsColors = DefaultColours;
    settings.skin = 4;
    st.DemoPhase = 0;
    st.HwOffset = 512;
    st.HwOffset4 = 0;
    settings.calibrationDue = true;

    settings.settingsDir = folders::settings();
    QDir().mkpath(settings.settingsDir);
    settings.exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    settingsFile = std::make_unique<SettingsFile>(folders::settingsFile());
    readStartupSettings(*settingsFile, st, st, st, settings.window);
    readAppSettings(*settingsFile, settings);
    settings.window = usableBounds(settings.window, screenAreas());
    setGeometry(settings.window.left, settings.window.top, settings.window.width, settings.window.height);

    // Marks the program as running at once, so that another copy started meanwhile finds it set.
    // A settings file that cannot be written is reported at close, not here.
    readAndMarkRunning(*settingsFile, settings, nullptr);

    handOverTimer_->start();
}

void StartupShell::handOver()
{
    handOverTimer_->stop();
    Windows& w = windows();
    RecorderWindow* rec = w.recorder;
    rec->useSettings(settings);

    // The stored skin: the skin menu item of that number.
    if (settings.skin >= 1 && settings.skin <= skins::NoSkin)
        rec->chooseSkin(settings.skin);

    settings.exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    settings.dataDir = folders::documents();
    const QString candidate = settings.dataDir + QStringLiteral("/My KORVIX");

    // The "Add Text" window: stored size, top-aligned and right-aligned with the shell.
    if (w.addText != nullptr) {
        int width = w.addText->width();
        int height = w.addText->height();
        readEditFormSize(*settingsFile, width, height);
        const QSize size = usableEditSize(QSize(width, height));
        w.addText->resize(size);
        w.addText->move(settings.window.left + settings.window.width - size.width(), settings.window.top);
    }

    st.ActiveColors = st.SettingsColors;

    if (rec->probeRecorder()) {
        rec->showRecorderConnected(true);
        st.DemoMode = false;
    } else {
        rec->showRecorderConnected(false);
        st.DemoMode = true;
    }

    st.ClearPending = true;
    rec->screen.redrawIfClearPending();

    if (settings.calibrationDue)
        QDir().mkpath(candidate);
    if (QDir(candidate).exists())
        settings.dataDir = candidate;

    if (!st.DemoMode && settings.wasRunning) {
        MessageRequest ask{
            QMessageBox::Information, {}, QString::fromLatin1(RunAnywayText), QMessageBox::Yes | QMessageBox::No};
        if (showMessage(this, ask) != QMessageBox::Yes) {
            close();
            return;
        }
    }

    showRecorderWindow();

    if (settings.calibrationDue && !st.DemoMode) {
        rec->calibrateClick();
        settings.calibrationDue = false;
    }

    if (!st.DemoMode && w.device != nullptr)
        w.device->sendOffset(st.HwOffset);
    if (w.hotplug != nullptr)
        w.hotplug->start();
}

void StartupShell::showRecorderWindow()
{
    RecorderWindow* rec = windows().recorder;
    rec->move(settings.window.left, settings.window.top);
    rec->resize(settings.window.width, settings.window.height);
    rec->show();
    hide();

    rec->colourChannelLabels();

    if (st.DemoMode) {
        showMessage(rec, {QMessageBox::Information, {}, QString::fromLatin1(DemoModeText), QMessageBox::Ok});
        rec->demoSetup();
    }
}

void StartupShell::attach(RecorderWindow& recorder)
{
    connect(&recorder, &RecorderWindow::closed, this, &StartupShell::closeFromRecorder);
}

void StartupShell::closeFromRecorder(const QRect& recorderGeometry)
{
    settings.window.left = recorderGeometry.left();
    settings.window.top = recorderGeometry.top();
    settings.window.width = recorderGeometry.width();
    settings.window.height = recorderGeometry.height();
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
    windows().programEnding = true;

    int editWidth = 301, editHeight = 265;
    if (AddTextWindow* edit = windows().addText) {
        editWidth = edit->width();
        editHeight = edit->height();
    }
    // The shell is hidden from the hand-over on; its own state is always normal, the recorder's
    // maximised or minimised state is not carried over (its normal geometry is what is kept).
    const bool normalState = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    writeShutdownSettings(*settingsFile, st, st, st, settings, normalState, editWidth, editHeight);

    QString error;
    bool ok = settingsFile->flush(&error);
    if (settings.resetOnExit) {
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
