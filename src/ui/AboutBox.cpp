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

    framePanel_ = new QFrame(this);
    framePanel_->setObjectName(QStringLiteral("framePanel"));
    framePanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    framePanel_->setLineWidth(2);
    framePanel_->setGeometry(1, 4, 237, 145);
    // The texts are black on white whatever the skin, like a printed label.
    QPalette white = framePanel_->palette();
    white.setColor(QPalette::Window, Qt::white);
    framePanel_->setPalette(white);
    framePanel_->setAutoFillBackground(true);

    iconLabel_ = new QLabel(framePanel_);
    iconLabel_->setObjectName(QStringLiteral("iconLabel"));
    iconLabel_->setGeometry(8, 8, 33, 33);
    iconLabel_->setScaledContents(true);
    iconLabel_->setPixmap(icon.pixmap(32, 32));

    titleLabel_ = makeLabel(framePanel_, "titleLabel", QStringLiteral("Recorder/Logger"), 64, 12, 13, true);
    makerLabel_ = makeLabel(framePanel_, "makerLabel", QStringLiteral("Software for Lumivale"), 64, 36, 11, false);
    productLabel_ =
        makeLabel(framePanel_, "productLabel", QStringLiteral("KORVIX 4Ch signal recorder "), 64, 48, 11, false);
    versionLabel_ = makeLabel(framePanel_, "versionLabel", QStringLiteral("Version 1.01"), 64, 60, 11, false);
    webAddressLabel_ = makeLabel(framePanel_, "webAddressLabel", QLatin1String(MakerSiteText), 68, 84, 11, false);
    // The underline goes into the label's own style sheet: a skin replaces the application's style
    // sheet, and the repolish that follows rebuilds each label's font from the style sheets, which
    // would drop an underline set with setFont() alone.
    QFont link = webAddressLabel_->font();
    link.setUnderline(true);
    webAddressLabel_->setFont(link);
    webAddressLabel_->setStyleSheet(QStringLiteral("QLabel { text-decoration: underline; }"));
    webAddressLabel_->setCursor(Qt::PointingHandCursor);
    webAddressLabel_->setToolTip(QLatin1String(MakerSite));
    webAddressLabel_->installEventFilter(this);
    platformLabel_ =
        makeLabel(framePanel_, "platformLabel", QStringLiteral("For Windows® XP/Vista/7/8/10"), 36, 108, 11, false);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(84, 156, 73, 29);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &AboutBox::okClick);
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
    if (watched == webAddressLabel_ && event->type() == QEvent::MouseButtonRelease &&
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
