#include "ui/AboutBox.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "ui/Help.h"

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

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("KORVIX"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(241, 191);

    // The about box is made at start-up with the other windows; every window of the program shows
    // the program's own icon from then on.
    const QIcon icon = applicationIcon();
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(icon);

    framePanel = new QFrame(this);
    framePanel->setObjectName(QStringLiteral("framePanel"));
    framePanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    framePanel->setLineWidth(2);
    framePanel->setGeometry(1, 4, 237, 145);
    // The texts are black on white whatever the skin, like a printed label.
    QPalette white = framePanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    framePanel->setPalette(white);
    framePanel->setAutoFillBackground(true);

    iconLabel = new QLabel(framePanel);
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    iconLabel->setGeometry(8, 8, 33, 33);
    iconLabel->setScaledContents(true);
    iconLabel->setPixmap(icon.pixmap(32, 32));

    titleLabel = makeLabel(framePanel, "titleLabel", QStringLiteral("Recorder/Logger"), 64, 12, 13, true);
    makerLabel = makeLabel(framePanel, "makerLabel", QStringLiteral("Software for Lumivale"), 64, 36, 11, false);
    productLabel =
        makeLabel(framePanel, "productLabel", QStringLiteral("KORVIX 4Ch signal recorder "), 64, 48, 11, false);
    versionLabel = makeLabel(framePanel, "versionLabel", QStringLiteral("Version 1.01"), 64, 60, 11, false);
    webAddressLabel = makeLabel(framePanel, "webAddressLabel", QLatin1String(MakerSiteText), 68, 84, 11, false);
    // The underline goes into the label's own style sheet: a skin replaces the application's style
    // sheet, and the repolish that follows rebuilds each label's font from the style sheets, which
    // would drop an underline set with setFont() alone.
    QFont link = webAddressLabel->font();
    link.setUnderline(true);
    webAddressLabel->setFont(link);
    webAddressLabel->setStyleSheet(QStringLiteral("QLabel { text-decoration: underline; }"));
    webAddressLabel->setCursor(Qt::PointingHandCursor);
    webAddressLabel->setToolTip(QLatin1String(MakerSite));
    webAddressLabel->installEventFilter(this);
    platformLabel =
        makeLabel(framePanel, "platformLabel", QStringLiteral("For Windows® XP/Vista/7/8/10"), 36, 108, 11, false);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(84, 156, 73, 29);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &AboutBox::okClick);
}

void AboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == webAddressLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        webAddressClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::webAddressClick()
{
    openUrl(QUrl(QLatin1String(MakerSite)));
}

void AboutBox::okClick()
{
    accept();
}
