#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>
#include <functional>

// Opening addresses with the system's default handler (the user guide, the maker's site). Tests
// replace the opener; an empty function restores QDesktopServices.
using UrlOpener = std::function<bool(const QUrl& url)>;
void setUrlOpener(UrlOpener opener);
bool openUrl(const QUrl& url);

// The user guide. In the build folder (and wherever the program was copied with its guide) it is
// in the "info" folder next to the program; an installed program finds it in the data folder of the
// installation, relative to its own folder (PREFIX/bin -> PREFIX/share/korvix). The first of the
// two that exists is the guide; when neither does, the one of the layout the program runs from
// (installed when its folder is named "bin"), so that a message names the right place.
QString helpFilePath(const QString& exeDir);

class QWidget;

// "Contents": opens the user guide (found from the program's folder `exeDir`) in the system's
// viewer, or tells over `parent` why it cannot.
void showUserGuide(QWidget* parent, const QString& exeDir);
// "About...": the application's about box, or one made for the time of the call (window tests).
void showAboutBox(QWidget* parent);

// The maker's web site, as the about box shows and opens it.
constexpr const char* MakerSite = "https://www.lumivale.com/";
constexpr const char* MakerSiteText = "www.lumivale.com";

// The program's own icon in the sizes it ships in.
QIcon applicationIcon();
