#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>

#include "screen/PageLayout.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;
class QToolButton;

// The printer set-up dialog behind "Print Setup...": it edits the printer and returns whether the
// user accepted. Tests replace it; an empty function restores Qt's print dialog.
using PrinterSetupHook = std::function<bool(QPrinter& printer, QWidget* parent)>;
void setPrinterSetupHook(PrinterSetupHook hook);

// The print preview: a miniature of the page with the screen picture and an editable caption
// (preset to the date and time), and the printing of that page. It holds the application's printer,
// which "Print Setup..." sets up. Where no printer is installed the printer writes PDF files.
class PrintPreviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit PrintPreviewWindow(QWidget* parent = nullptr);
    ~PrintPreviewWindow() override;

    static constexpr int CanvasWidth = 633;
    static constexpr int CanvasHeight = 584;

    // The preview canvas of the page image.
    QImage canvas{CanvasWidth, CanvasHeight, QImage::Format_RGB32};

    // Values taken by preparePage and kept until the next one.
    int pageWidth = 0, pageHeight = 0;  // printable page size in printer pixels
    bool landscape = false;
    int pictureWidth = 0, pictureHeight = 0;  // the screen picture's size
    printing::Miniature miniature;

    // The application's printer (made on first use).
    QPrinter& printer();

    // Reads the page from the printer and the size of the screen picture, which the preview and the
    // print show. False (with a message shown) when the printer cannot be used.
    bool preparePage(const QImage& screenImage);
    void drawPreview();

    // Runs the printer set-up dialog; true when the user accepted it.
    bool runPrinterSetup(QWidget* parent);

    void printClick();  // "Print": prints the page; the preview stays open
    void closeClick();  // "Close"
    // Every key in the caption field: the miniature shows the caption as it now reads.
    void captionEdited();
    void captionKeyReleased() { captionEdited(); }

    // Prints the page on the printer; false (with a message shown) when printing failed or was cancelled.
    bool printPage();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QString captionText() const;
    // When the page goes into a PDF file (no printer installed, or "Print to File" chosen in the
    // set-up), asks for the file at every print. False on cancel.
    bool chooseOutputFile();

    QFrame* toolbarPanel_ = nullptr;
    QToolButton* printButton_ = nullptr;    // "Print"
    QToolButton* closeButton_ = nullptr;    // "Close"
    QLabel* captionPromptLabel_ = nullptr;  // "Caption:"
    QLineEdit* captionEdit_ = nullptr;
    QScrollArea* pageScrollArea_ = nullptr;
    QWidget* pageImage_ = nullptr;             // shows `canvas`
    QLabel* miniatureCaptionLabel_ = nullptr;  // the caption on the miniature
    std::unique_ptr<QPrinter> printer_;
    const QImage* screenImage_ = nullptr;
};
