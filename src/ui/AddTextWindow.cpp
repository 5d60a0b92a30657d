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

    textEdit = new QPlainTextEdit(this);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setGeometry(4, 4, 277, 141);
    textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);

    addTextButton = new QPushButton(QStringLiteral("Add Text on Screen"), this);
    addTextButton->setObjectName(QStringLiteral("addTextButton"));
    addTextButton->setGeometry(4, 152, 141, 25);
    removeButton = new QPushButton(QStringLiteral("Remove"), this);
    removeButton->setObjectName(QStringLiteral("removeButton"));
    removeButton->setGeometry(156, 152, 57, 25);
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(224, 152, 57, 25);
    // Return in the memo starts a new line; no button is the default one.
    for (QPushButton* b : {addTextButton, removeButton, closeButton})
        b->setAutoDefault(false);

    hintLabel = new QLabel(QStringLiteral("Right click the screen to change the text position"), this);
    hintLabel->setObjectName(QStringLiteral("hintLabel"));
    hintLabel->move(4, 184);
    hintLabel->adjustSize();

    transparentBox = new QCheckBox(QStringLiteral("Transparent text"), this);
    transparentBox->setObjectName(QStringLiteral("transparentBox"));
    transparentBox->setGeometry(4, 208, 153, 17);

    shortcutMenuBar = new QMenuBar(this);
    shortcutMenuBar->setObjectName(QStringLiteral("shortcutMenuBar"));
    shortcutMenuBar->hide();
    editMenu = shortcutMenuBar->addMenu(QStringLiteral("Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    auto item = [this](const char* name, const QString& caption, QKeySequence keys, void (AddTextWindow::*handler)()) {
        auto* a = editMenu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        // The menu is never shown, so the window itself carries the shortcuts.
        addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    copyAction =
        item("copyAction", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &AddTextWindow::copyClick);
    pasteAction =
        item("pasteAction", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &AddTextWindow::pasteClick);
    selectAllAction = item("selectAllAction", QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
                           &AddTextWindow::selectAllClick);

    connect(addTextButton, &QPushButton::clicked, this, &AddTextWindow::addTextClick);
    connect(removeButton, &QPushButton::clicked, this, &AddTextWindow::removeClick);
    connect(closeButton, &QPushButton::clicked, this, &AddTextWindow::closeClick);
    // Only the user's click changes the setting; the reader sets the box without a redraw.
    connect(transparentBox, &QCheckBox::clicked, this, &AddTextWindow::transparentClick);

    recorder_ = qobject_cast<RecorderWindow*>(parent);
    if (recorder_.isNull())
        recorder_ = windows().recorder;
    connect(textEdit, &QPlainTextEdit::textChanged, this, [this] {
        if (recorder_)
            recorder_->st.AnnotationText = textEdit->toPlainText();
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
    textEdit->clear();
    if (recorder_) {
        recorder_->st.AnnotationOn = false;
        recorder_->st.AnnotationTransparent = false;
    }
    hintLabel->hide();
    removeButton->setEnabled(false);
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
    removeButton->setEnabled(true);
    hintLabel->show();
}

void AddTextWindow::removeClick()
{
    if (recorder_)
        recorder_->st.AnnotationOn = false;
    fullRedraw();
    removeButton->setEnabled(false);
    hintLabel->hide();
}

void AddTextWindow::transparentClick()
{
    if (recorder_)
        recorder_->st.AnnotationTransparent = transparentBox->isChecked();
    fullRedraw();
}

void AddTextWindow::copyClick()
{
    textEdit->copy();
}

void AddTextWindow::pasteClick()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data != nullptr && data->hasText())
        textEdit->paste();
}

void AddTextWindow::selectAllClick()
{
    textEdit->selectAll();
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
    transparentBox->setChecked(st.AnnotationTransparent);
    const QString text = st.AnnotationText;
    textEdit->setPlainText(text);
    removeButton->setEnabled(true);
    hintLabel->show();
}
