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
class TForm1_rec;

// The "Add Text" window: the text of the screen annotation, typed in Memo1, placed by a right
// click on the screen and drawn over the traces. It is modeless and stays on top; the recorder
// window stays usable while it is open. The memo's text is kept in the recorder state
// (AnnotationText), from where the data files write it and the screen draws it.
class Tform_9rec : public QDialog {
    Q_OBJECT
public:
    // With the recorder window as parent, the window draws its annotation on that window's screen.
    explicit Tform_9rec(QWidget* parent = nullptr);
    ~Tform_9rec() override;

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Add Text on Screen"
    QPushButton* Button2 = nullptr;  // "Remove"
    QPushButton* Button3 = nullptr;  // "Close"
    QLabel* Label1 = nullptr;        // the hint about the right click
    QCheckBox* CheckBox1 = nullptr;  // "Transparent text"
    QMenuBar* MainMenu1 = nullptr;   // not shown: its items act through their shortcuts
    QMenu* Edit1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* SelectAll1 = nullptr;

    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click() { hide(); }
    void CheckBox1Click();
    void Copy1Click();
    void Paste1Click();
    void SelectAll1Click();

    // Draws the annotation into the recorder's screen bitmap when AnnotationOn.
    void note();
    // An annotation was read from a data file into the recorder state: the memo, the check box,
    // "Remove" and the hint follow it.
    void annotationLoaded();

private:
    // Rebuilds the recorder's screen: grid, texts, traces and the annotation.
    void fullRedraw();

    QPointer<TForm1_rec> recorder_;
};
