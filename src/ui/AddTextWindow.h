#pragma once

#include <QDialog>
#include <QPointer>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class RecorderWindow;

// The "Add Text" window: the text of the screen annotation, typed in textEdit, placed by a right
// click on the screen and drawn over the traces. It is modeless and stays on top; the recorder
// window stays usable while it is open. The memo's text is kept in the recorder state
// (AnnotationText), from where the data files write it and the screen draws it.
class AddTextWindow : public QDialog {
    Q_OBJECT
public:
    // With the recorder window as parent, the window draws its annotation on that window's screen.
    explicit AddTextWindow(QWidget* parent = nullptr);
    ~AddTextWindow() override;

    void clearAnnotation();
    void addTextClick();
    void removeClick();
    void closeClick() { hide(); }
    void transparentClick();
    void copyClick();
    void pasteClick();
    void selectAllClick();

    // Draws the annotation into the recorder's screen bitmap when AnnotationOn.
    void drawOnScreen();
    // An annotation was read from a data file into the recorder state: the memo, the check box,
    // "Remove" and the hint follow it.
    void annotationLoaded();

private:
    // Rebuilds the recorder's screen: grid, texts, traces and the annotation.
    void fullRedraw();

    QPointer<RecorderWindow> recorder_;

    QPlainTextEdit* textEdit_ = nullptr;
    QPushButton* addTextButton_ = nullptr;  // "Add Text on Screen"
    QPushButton* removeButton_ = nullptr;   // "Remove"
    QPushButton* closeButton_ = nullptr;    // "Close"
    QLabel* hintLabel_ = nullptr;           // the hint about the right click
    QCheckBox* transparentBox_ = nullptr;   // "Transparent text"
    QMenuBar* shortcutMenuBar_ = nullptr;   // not shown: its items act through their shortcuts
    QMenu* editMenu_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
};
