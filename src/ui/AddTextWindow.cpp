#include "ui/AddTextWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

#include "screen/Annotation.h"
#include "ui/Application.h"
#include "ui/RecorderWindow.h"

AddTextWindow::AddTextWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddTextWindow"));
    setWindowTitle(QStringLiteral("Add Text"));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    resize(301, 265);

    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("textEdit"));
    textEdit_->setGeometry(4, 4, 277, 141);
    textEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);

    addTextButton_ = new QPushButton(QStringLiteral("Add Text on Screen"), this);
    addTextButton_->setObjectName(QStringLiteral("addTextButton"));
    addTextButton_->setGeometry(4, 152, 141, 25);
    removeButton_ = new QPushButton(QStringLiteral("Remove"), this);
    removeButton_->setObjectName(QStringLiteral("removeButton"));
    removeButton_->setGeometry(156, 152, 57, 25);
    closeButton_ = new QPushButton(QStringLiteral("Close"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setGeometry(224, 152, 57, 25);
    // Return in the memo starts a new line; no button is the default one.
    for (QPushButton* b : {addTextButton_, removeButton_, closeButton_})
        b->setAutoDefault(false);

    hintLabel_ = new QLabel(QStringLiteral("Right click the screen to change the text position"), this);
    hintLabel_->setObjectName(QStringLiteral("hintLabel"));
    hintLabel_->move(4, 184);
    hintLabel_->adjustSize();

    transparentBox_ = new QCheckBox(QStringLiteral("Transparent text"), this);
    transparentBox_->setObjectName(QStringLiteral("transparentBox"));
    transparentBox_->setGeometry(4, 208, 153, 17);

    shortcutMenuBar_ = new QMenuBar(this);
    shortcutMenuBar_->setObjectName(QStringLiteral("shortcutMenuBar"));
    shortcutMenuBar_->hide();
    editMenu_ = shortcutMenuBar_->addMenu(QStringLiteral("Edit"));
    editMenu_->setObjectName(QStringLiteral("editMenu"));
    auto item = [this](const char* name, const QString& caption, QKeySequence keys, void (AddTextWindow::*handler)()) {
        auto* a = editMenu_->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        // The menu is never shown, so the window itself carries the shortcuts.
        addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    copyAction_ =
        item("copyAction", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &AddTextWindow::copyClick);
    pasteAction_ =
        item("pasteAction", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &AddTextWindow::pasteClick);
    selectAllAction_ = item("selectAllAction", QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
                            &AddTextWindow::selectAllClick);

    connect(addTextButton_, &QPushButton::clicked, this, &AddTextWindow::addTextClick);
    connect(removeButton_, &QPushButton::clicked, this, &AddTextWindow::removeClick);
    connect(closeButton_, &QPushButton::clicked, this, &AddTextWindow::closeClick);
    // Only the user's click changes the setting; the reader sets the box without a redraw.
    connect(transparentBox_, &QCheckBox::clicked, this, &AddTextWindow::transparentClick);

    recorder_ = qobject_cast<RecorderWindow*>(parent);
    if (recorder_.isNull())
        recorder_ = windows().recorder;
    connect(textEdit_, &QPlainTextEdit::textChanged, this, [this] {
        if (recorder_)
            recorder_->st.AnnotationText = textEdit_->toPlainText();
    });
    if (recorder_)
        recorder_->screen.drawAnnotation = [this] { drawOnScreen(); };
    clearAnnotation();
}

AddTextWindow::~AddTextWindow()
{
    if (recorder_)
        recorder_->screen.drawAnnotation = [] {};
}

void AddTextWindow::clearAnnotation()
{
    textEdit_->clear();
    if (recorder_) {
        recorder_->st.AnnotationOn = false;
        recorder_->st.AnnotationTransparent = false;
    }
    hintLabel_->hide();
    removeButton_->setEnabled(false);
}

void AddTextWindow::fullRedraw()
{
    if (!recorder_)
        return;
    recorder_->st.ClearPending = true;
    recorder_->screen.redrawIfClearPending();
    recorder_->screen.drawTraces();
}

void AddTextWindow::addTextClick()
{
    if (recorder_)
        recorder_->st.AnnotationOn = true;
    fullRedraw();
    removeButton_->setEnabled(true);
    hintLabel_->show();
}

void AddTextWindow::removeClick()
{
    if (recorder_)
        recorder_->st.AnnotationOn = false;
    fullRedraw();
    removeButton_->setEnabled(false);
    hintLabel_->hide();
}

void AddTextWindow::transparentClick()
{
    if (recorder_)
        recorder_->st.AnnotationTransparent = transparentBox_->isChecked();
    fullRedraw();
}

void AddTextWindow::copyClick()
{
    textEdit_->copy();
}

void AddTextWindow::pasteClick()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data != nullptr && data->hasText())
        textEdit_->paste();
}

void AddTextWindow::selectAllClick()
{
    textEdit_->selectAll();
}

void AddTextWindow::drawOnScreen()
{
    if (recorder_)
        drawAnnotation(recorder_->screenBitmap, recorder_->st, recorder_->st);
}

void AddTextWindow::annotationLoaded()
{
    if (!recorder_)
        return;
    const RecorderState& st = recorder_->st;
    transparentBox_->setChecked(st.AnnotationTransparent);
    const QString text = st.AnnotationText;
    textEdit_->setPlainText(text);
    removeButton_->setEnabled(true);
    hintLabel_->show();
}
