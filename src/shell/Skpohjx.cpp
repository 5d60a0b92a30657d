#include "shell/Skpohjx.h"

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
#include "device/findpath.h"
#include "display/Unit7.h"
#include "display/Unit_9rec.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/SettingsKeys.h"
#include "shell/Winrecx.h"

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

TForm1::TForm1(RecorderState& state, QWidget* parent) : QWidget(parent), st(state)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Oscilloscope"));
    setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setSingleShot(true);
    Timer3->setInterval(100);
    connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    FormCreate();
}

TForm1::~TForm1() = default;

QString TForm1::GetSpecialFolderPath(int folder)
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

void TForm1::FormCreate()
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

    Timer3->start();
}

void TForm1::Timer3Timer()
{
    Timer3->stop();
    Windows& w = windows();
    TForm1_rec* rec = w.Form1_rec;

    // The stored skin: the skin menu item of that number.
    switch (st.SkinIndex) {
        case 1:
            rec->Skin11Click();
            break;
        case 2:
            rec->Skin21Click();
            break;
        case 3:
            rec->Skin31Click();
            break;
        case 4:
            rec->Skin41Click();
            break;
        case 5:
            rec->Skin51Click();
            break;
        case 6:
            rec->Skin61Click();
            break;
        case 7:
            rec->Skin71Click();
            break;
        case 8:
            rec->Skin81Click();
            break;
        default:
            break;
    }

    st.ExeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    st.DataDir = GetSpecialFolderPath(5);
    const QString candidate = st.DataDir + QStringLiteral("/My KORVIX");

    // The "Add Text" window: stored size, top-aligned and right-aligned with the shell.
    if (w.Form_9rec != nullptr) {
        int width = w.Form_9rec->width();
        int height = w.Form_9rec->height();
        readEditFormSize(*settingsFile, width, height);
        const QSize size = usableEditSize(QSize(width, height));
        w.Form_9rec->resize(size);
        w.Form_9rec->move(bounds.left + bounds.width - size.width(), bounds.top);
    }

    st.ActiveColors = st.SettingsColors;

    if (rec->probeRecorder()) {
        rec->Label1->setText(QStringLiteral("KORVIX connected"));
        st.DemoMode = false;
    } else {
        rec->Label1->setText(QStringLiteral("KORVIX not connected"));
        st.DemoMode = true;
        rec->Calibrate1->setEnabled(false);
    }

    st.ClearPending = true;
    rec->putsataanko();

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

    SpeedButton27Click();

    if (st.HWdialog && !st.DemoMode) {
        rec->Calibrate1Click();
        st.HWdialog = false;
    }

    if (!st.DemoMode && w.device != nullptr) {
        buildOffsetCommand(st);
        w.device->DoWrite();
    }
}

void TForm1::SpeedButton27Click()
{
    TForm1_rec* rec = windows().Form1_rec;
    rec->move(bounds.left, bounds.top);
    rec->resize(bounds.width, bounds.height);
    rec->show();
    hide();

    for (int n = 0; n < ChannelCount; ++n) {
        QPalette pal = rec->LabelCh[n]->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Surface::toRgb(st.ActiveColors[Ch1 + n])));
        rec->LabelCh[n]->setPalette(pal);
    }

    if (st.DemoMode) {
        showMessage(rec, {QMessageBox::Information, {}, QString::fromLatin1(DemoModeText), QMessageBox::Ok});
        rec->demoSetup();
    }
}

void TForm1::closeFromRecorder(const QRect& recorderGeometry)
{
    bounds.left = recorderGeometry.left();
    bounds.top = recorderGeometry.top();
    bounds.width = recorderGeometry.width();
    bounds.height = recorderGeometry.height();
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

void TForm1::FormClose()
{
    if (closed_)
        return;
    closed_ = true;

    int editWidth = 301, editHeight = 265;
    if (Tform_9rec* edit = windows().Form_9rec) {
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

void TForm1::Colors1Click()
{
    // The shell keeps the colour sets that go into the settings file; the dialog edits them.
    runColourDialog(st, windows().Form1_rec, windows().BtnBottomDlg2);
}
