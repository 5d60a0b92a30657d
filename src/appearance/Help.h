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

// The user guide: the "info" folder next to the program holds it.
QString helpFilePath(const QString& exeDir);

// The maker's web site, as the about box shows and opens it.
constexpr const char* MakerSite = "https://www.lumivale.com/";
constexpr const char* MakerSiteText = "www.lumivale.com";

// The program's own icon in the sizes it ships in.
QIcon applicationIcon();
