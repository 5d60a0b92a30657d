#include "ui/Skins.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <array>
#include <optional>

namespace skins {

namespace {

// The colours a skin is made from; the rest of the palette is derived from them.
struct Look {
    const char* window;     // window and panel background
    const char* base;       // text fields, menus, lists
    const char* button;     // buttons
    const char* text;       // text on all of them
    const char* highlight;  // selection, hovered menu entries
    const char* menuBar;    // the menu bar
};

// Skins 1..7, in menu order; each matches its caption.
const std::array<Look, SkinCount> Looks = {{
    {"#3c3f41", "#2b2d2f", "#4a4e51", "#e3e5e8", "#5b7fa6", "#313335"},  // 1: dark gray
    {"#4b3028", "#3a241e", "#5e3c32", "#f2e4d8", "#a3473c", "#3f2821"},  // 2: dark brown
    {"#1d2c4f", "#121c36", "#26396a", "#e6edf7", "#3f80d4", "#15213f"},  // 3: deep blue
    {"#d3d3d3", "#f4f4f4", "#dddddd", "#161616", "#6b8cb6", "#c4c4c4"},  // 4: light gray
    {"#ececec", "#ffffff", "#f6f6f6", "#202020", "#7d7d7d", "#ffffff"},  // 5: gray white
    {"#c6d4e6", "#f3f6fb", "#d5e1ef", "#13243a", "#316ac5", "#b4c7df"},  // 6: gray blue
    {"#dedbd3", "#f8f7f3", "#e7e4dc", "#1e1e1e", "#8a8266", "#d2cec4"},  // 7: neutral
}};

// Text of a disabled control: well over halfway from the text colour to the background, so that a
// disabled button reads as disabled on light and dark looks alike.
QColor disabledTextOf(const QColor& text, const QColor& background)
{
    auto mix = [](int a, int b) { return a + (b - a) * 11 / 20; };
    return QColor(mix(text.red(), background.red()), mix(text.green(), background.green()),
                  mix(text.blue(), background.blue()));
}

QPalette paletteOf(const Look& look)
{
    const QColor window(QLatin1String(look.window));
    const QColor base(QLatin1String(look.base));
    const QColor button(QLatin1String(look.button));
    const QColor text(QLatin1String(look.text));
    const QColor highlight(QLatin1String(look.highlight));
    const bool dark = window.lightness() < 128;

    QPalette p(button, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, dark ? base.lighter(115) : base.darker(104));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dark ? text.darker(160) : text.lighter(300));
    p.setColor(QPalette::Link, dark ? highlight.lighter(150) : highlight.darker(120));
    p.setColor(QPalette::Light, button.lighter(dark ? 140 : 115));
    p.setColor(QPalette::Midlight, button.lighter(dark ? 120 : 107));
    p.setColor(QPalette::Mid, button.darker(dark ? 115 : 125));
    p.setColor(QPalette::Dark, button.darker(dark ? 140 : 160));
    p.setColor(QPalette::Shadow, Qt::black);
    const QColor disabledText = disabledTextOf(text, button);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Disabled, QPalette::Highlight, button.darker(120));
    return p;
}

QString styleSheetOf(const Look& look)
{
    const QColor base(QLatin1String(look.base));
    const QColor text(QLatin1String(look.text));
    const QColor border = base.lightness() < 128 ? base.lighter(170) : base.darker(140);
    const QColor disabled = disabledTextOf(text, base);
    return QStringLiteral(
               "QMenuBar { background-color: %1; color: %3; }"
               "QMenuBar::item:selected { background-color: %4; color: white; }"
               "QMenu { background-color: %2; color: %3; border: 1px solid %5; }"
               "QMenu::item:selected { background-color: %4; color: white; }"
               "QMenu::item:disabled { color: %6; }")
        .arg(QLatin1String(look.menuBar), QLatin1String(look.base), QLatin1String(look.text),
             QLatin1String(look.highlight), border.name(), disabled.name());
}

// The platform's own look, kept when the first skin is applied so that "No Skin" can bring it back.
struct PlatformLook {
    QString styleName;
    QPalette palette;
    QString styleSheet;
};

std::optional<PlatformLook>& platformLook()
{
    static std::optional<PlatformLook> look;
    return look;
}

int& current()
{
    static int index = 0;
    return index;
}

}  // namespace

int currentSkin()
{
    return current();
}

void applySkin(int index)
{
    if (index < 1 || index > NoSkin || index == current())
        return;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr)
        return;
    if (!platformLook())
        platformLook() = PlatformLook{QApplication::style()->name(), QApplication::palette(), app->styleSheet()};

    if (index == NoSkin) {
        const PlatformLook& own = *platformLook();
        if (QStyle* style = QStyleFactory::create(own.styleName))
            QApplication::setStyle(style);
        QApplication::setPalette(own.palette);
        app->setStyleSheet(own.styleSheet);
    } else {
        const Look& look = Looks[static_cast<size_t>(index - 1)];
        // Fusion draws every control from the palette, so the palette alone gives each skin its colours.
        // (While a skin is on, style() is the style sheet's proxy; the flag says what lies beneath.)
        const bool skinned = current() >= 1 && current() <= SkinCount;
        if (!skinned)
            if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
                QApplication::setStyle(style);
        QApplication::setPalette(paletteOf(look));
        app->setStyleSheet(styleSheetOf(look));
    }
    current() = index;
}

}  // namespace skins
