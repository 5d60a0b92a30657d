#pragma once

#include <QObject>
#include <QString>
#include <functional>

struct RecorderState;

class QWidget;
class Screen;
class Surface;
struct AppSettings;

// Whether the system clipboard holds a picture ("Paste" is enabled only then).
bool clipboardHoldsPicture();

// The screen bitmap as a picture: "Save Image...", "Open Image...", "Copy", "Paste", "Print..." and
// "Print Setup...". Dialogs and messages open over `window`.
class ImageActions : public QObject {
    Q_OBJECT
public:
    // `settings` gives the program's settings in force (for the picture folder).
    ImageActions(QWidget* window, RecorderState& state, Screen& screen, Surface& image,
                 std::function<const AppSettings&()> settings);

    void saveImage();
    void openImage();
    void copy();
    void paste();
    void print();
    void printSetup();

    // The name "Save Image..." offers next.
    const QString& lastImageName() const { return lastImageName_; }

private:
    QWidget* window_;
    RecorderState& st;
    Screen& screen_;
    Surface& image_;
    std::function<const AppSettings&()> settings_;
    QString lastImageName_;
};
