// "Contents" and "About..." of the help menu, the opener of web and file addresses and the
// program's icon.

#include "ui/Help.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <memory>

#include "ui/AboutBox.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace {
UrlOpener& urlOpener()
{
    static UrlOpener opener;
    return opener;
}
}  // namespace

void setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

bool openUrl(const QUrl& url)
{
    if (urlOpener())
        return urlOpener()(url);
    return QDesktopServices::openUrl(url);
}

// The installed guide's folder relative to the program's folder; the build sets it from the
// installation's folders.
#ifndef KORVIX_GUIDE_FROM_BINDIR
#define KORVIX_GUIDE_FROM_BINDIR "../share/korvix"
#endif

QString helpFilePath(const QString& exeDir)
{
    const QDir programDir(exeDir);
    const QString besideProgram = programDir.filePath(QStringLiteral("info/KORVIX.html"));
    const QString installed =
        QDir::cleanPath(programDir.filePath(QStringLiteral(KORVIX_GUIDE_FROM_BINDIR "/KORVIX.html")));
    for (const QString& path : {besideProgram, installed})
        if (QFileInfo(path).isFile())
            return path;
    return programDir.dirName() == QLatin1String("bin") ? installed : besideProgram;
}

QIcon applicationIcon()
{
    // The icons are compiled into the window library; a static library needs its resources named.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    for (const char* size : {"32", "64", "256"})
        icon.addFile(QStringLiteral(":/icons/korvix-%1.png").arg(QLatin1String(size)));
    return icon;
}

void showUserGuide(QWidget* parent, const QString& exeDir)
{
    // The guide opens in the system's browser, which runs on its own; "Contents" may open it again.
    const QString path = helpFilePath(exeDir);
    if (!QFileInfo(path).isFile()) {
        showMessage(parent, {QMessageBox::Warning,
                             {},
                             QStringLiteral("The help file \"%1\" was not found. Reinstalling the program brings it "
                                            "back.")
                                 .arg(QDir::toNativeSeparators(path)),
                             QMessageBox::Ok});
        return;
    }
    if (!openUrl(QUrl::fromLocalFile(path)))
        showMessage(parent, {QMessageBox::Warning,
                             {},
                             QStringLiteral("No program to show the help file was found. The guide is the file \"%1\"; "
                                            "open it with a web browser.")
                                 .arg(QDir::toNativeSeparators(path)),
                             QMessageBox::Ok});
}

void showAboutBox(QWidget* parent)
{
    AboutBox* about = windows().aboutBox;
    std::unique_ptr<AboutBox> own;
    if (about == nullptr) {
        own = std::make_unique<AboutBox>(parent);
        about = own.get();
    }
    about->exec();
}
