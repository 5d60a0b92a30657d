#include "appearance/rec_2.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "appearance/Help.h"

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int pixelSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TAboutBox_rec::TAboutBox_rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox_rec"));
    setWindowTitle(QStringLiteral("KORVIX"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(241, 191);

    // The about box is made at start-up with the other windows; every window of the program shows
    // the program's own icon from then on.
    const QIcon icon = applicationIcon();
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(icon);

    sPanel1 = new QFrame(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    sPanel1->setLineWidth(2);
    sPanel1->setGeometry(1, 4, 237, 145);
    // The texts are black on white whatever the skin, like a printed label.
    QPalette white = sPanel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    sPanel1->setPalette(white);
    sPanel1->setAutoFillBackground(true);

    Image2 = new QLabel(sPanel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(8, 8, 33, 33);
    Image2->setScaledContents(true);
    Image2->setPixmap(icon.pixmap(32, 32));

    sLabel1 = makeLabel(sPanel1, "sLabel1", QStringLiteral("Recorder/Logger"), 64, 12, 13, true);
    sLabel2 = makeLabel(sPanel1, "sLabel2", QStringLiteral("Software for Lumivale"), 64, 36, 11, false);
    sLabel3 = makeLabel(sPanel1, "sLabel3", QStringLiteral("KORVIX 4Ch signal recorder "), 64, 48, 11, false);
    sLabel4 = makeLabel(sPanel1, "sLabel4", QStringLiteral("Version 1.01"), 64, 60, 11, false);
    Label6 = makeLabel(sPanel1, "Label6", QLatin1String(MakerSiteText), 68, 84, 11, false);
    // The underline goes into the label's own style sheet: a skin replaces the application's style
    // sheet, and the repolish that follows rebuilds each label's font from the style sheets, which
    // would drop an underline set with setFont() alone.
    QFont link = Label6->font();
    link.setUnderline(true);
    Label6->setFont(link);
    Label6->setStyleSheet(QStringLiteral("QLabel { text-decoration: underline; }"));
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->setToolTip(QLatin1String(MakerSite));
    Label6->installEventFilter(this);
    sLabel5 = makeLabel(sPanel1, "sLabel5", QStringLiteral("For Windows® XP/Vista/7/8/10"), 36, 108, 11, false);

    GrSpeedButton1 = new QPushButton(QStringLiteral("OK"), this);
    GrSpeedButton1->setObjectName(QStringLiteral("GrSpeedButton1"));
    GrSpeedButton1->setGeometry(84, 156, 73, 29);
    GrSpeedButton1->setDefault(true);
    connect(GrSpeedButton1, &QPushButton::clicked, this, &TAboutBox_rec::GrSpeedButton1Click);
}

void TAboutBox_rec::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool TAboutBox_rec::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label6 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label6Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox_rec::Label6Click()
{
    openUrl(QUrl(QLatin1String(MakerSite)));
}

void TAboutBox_rec::GrSpeedButton1Click()
{
    accept();
}
