#include "display/Unit_9rec.h"

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

#include "display/Annotation.h"
#include "shell/Application.h"
#include "shell/Winrecx.h"

Tform_9rec::Tform_9rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_9rec"));
    setWindowTitle(QStringLiteral("Add Text"));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    resize(301, 265);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(4, 4, 277, 141);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    Button1 = new QPushButton(QStringLiteral("Add Text on Screen"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(4, 152, 141, 25);
    Button2 = new QPushButton(QStringLiteral("Remove"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(156, 152, 57, 25);
    Button3 = new QPushButton(QStringLiteral("Close"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(224, 152, 57, 25);
    // Return in the memo starts a new line; no button is the default one.
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setAutoDefault(false);

    Label1 = new QLabel(QStringLiteral("Right click the screen to change the text position"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(4, 184);
    Label1->adjustSize();

    CheckBox1 = new QCheckBox(QStringLiteral("Transparent text"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(4, 208, 153, 17);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->hide();
    Edit1 = MainMenu1->addMenu(QStringLiteral("Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto item = [this](const char* name, const QString& caption, QKeySequence keys, void (Tform_9rec::*handler)()) {
        auto* a = Edit1->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        // The menu is never shown, so the window itself carries the shortcuts.
        addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Copy1 = item("Copy1", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &Tform_9rec::Copy1Click);
    Paste1 = item("Paste1", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &Tform_9rec::Paste1Click);
    SelectAll1 = item("SelectAll1", QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
                      &Tform_9rec::SelectAll1Click);

    connect(Button1, &QPushButton::clicked, this, &Tform_9rec::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tform_9rec::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tform_9rec::Button3Click);
    // Only the user's click changes the setting; the reader sets the box without a redraw.
    connect(CheckBox1, &QCheckBox::clicked, this, &Tform_9rec::CheckBox1Click);

    recorder_ = qobject_cast<TForm1_rec*>(parent);
    if (recorder_.isNull())
        recorder_ = windows().Form1_rec;
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (recorder_)
            recorder_->st.AnnotationText = Memo1->toPlainText();
    });
    if (recorder_)
        recorder_->screen.drawAnnotation = [this] { note(); };
    FormCreate();
}

Tform_9rec::~Tform_9rec()
{
    if (recorder_)
        recorder_->screen.drawAnnotation = [] {};
}

void Tform_9rec::FormCreate()
{
    Memo1->clear();
    if (recorder_) {
        recorder_->st.AnnotationOn = false;
        recorder_->st.AnnotationTransparent = false;
    }
    Label1->hide();
    Button2->setEnabled(false);
}

void Tform_9rec::fullRedraw()
{
    if (!recorder_)
        return;
    recorder_->st.ClearPending = true;
    recorder_->putsataanko();
    recorder_->screen.piirrot();
}

void Tform_9rec::Button1Click()
{
    if (recorder_)
        recorder_->st.AnnotationOn = true;
    fullRedraw();
    Button2->setEnabled(true);
    Label1->show();
}

void Tform_9rec::Button2Click()
{
    if (recorder_)
        recorder_->st.AnnotationOn = false;
    fullRedraw();
    Button2->setEnabled(false);
    Label1->hide();
}

void Tform_9rec::CheckBox1Click()
{
    if (recorder_)
        recorder_->st.AnnotationTransparent = CheckBox1->isChecked();
    fullRedraw();
}

void Tform_9rec::Copy1Click()
{
    Memo1->copy();
}

void Tform_9rec::Paste1Click()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data != nullptr && data->hasText())
        Memo1->paste();
}

void Tform_9rec::SelectAll1Click()
{
    Memo1->selectAll();
}

void Tform_9rec::note()
{
    if (recorder_)
        drawAnnotation(recorder_->image1Surface, recorder_->st);
}

void Tform_9rec::annotationLoaded()
{
    if (!recorder_)
        return;
    const RecorderState& st = recorder_->st;
    CheckBox1->setChecked(st.AnnotationTransparent);
    const QString text = st.AnnotationText;
    Memo1->setPlainText(text);
    Button2->setEnabled(true);
    Label1->show();
}

void TForm1_rec::annotationRightClick(int x, int y)
{
    // While a recording runs, right clicks do nothing.
    if (!st.Idle)
        return;
    Tform_9rec* addText = windows().Form_9rec;
    const auto px = static_cast<uint16_t>(std::clamp(x, 0, 65535));
    const auto py = static_cast<uint16_t>(std::clamp(y, 0, 65535));
    if (!st.AnnotationOn) {
        // The text will appear here when it is added.
        st.AnnotationX = px;
        st.AnnotationY = py;
    } else if (addText != nullptr && addText->isVisible()) {
        st.AnnotationX = px;
        st.AnnotationY = py;
        st.ClearPending = true;
        putsataanko();
        screen.piirrot();
    }
    // With the window hidden, the first right click only brings it back.
    if (addText != nullptr)
        addText->show();
}
