#include "screen/ValueDisplay.h"

#include "screen/LocaleTexts.h"

#include <algorithm>
#include <cstdlib>

namespace dvm {

namespace {

// Fixed-point text of a scaled value: sign, integer part, decimal point and `decimals` digits.
QString fixedText(int64_t scaled, int decimals, QChar point, const QString& minus)
{
    int64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const int64_t magnitude = std::llabs(scaled);
    QString text = scaled < 0 ? minus : QString();
    text += QString::number(magnitude / unit);
    if (decimals > 0)
        text += point + QStringLiteral("%1").arg(magnitude % unit, decimals, 10, QLatin1Char('0'));
    return text;
}

}  // namespace

std::optional<int> reading(const ScreenBuffer& buffer, const RunState& run, const SampleAverager& sums,
                           const ChannelSetup& channels, int ch)
{
    int value = 0;
    if (run.DemoMode) {
        const int v = buffer.trace(ch, buffer.SampleIndex) & 0xFFFF;
        value = (255 - v) * 4 + 3;
    } else {
        if (sums.ReportCount <= 0)
            return std::nullopt;
        value =
            sums.SampleSum[static_cast<size_t>(ch)] / sums.ReportCount + channels.CalOffset[static_cast<size_t>(ch)];
    }
    return std::clamp(value, 0, 1023);
}

double volts(int value, int rangeTenths)
{
    return (value - 512) * (rangeTenths / 10.0) / 512.0;
}

int64_t scaledVolts(int value, int rangeTenths, int decimals)
{
    // volts * 10^decimals = (value - 512) * rangeTenths * 10^(decimals - 1) / 512
    int64_t numerator = int64_t(value - 512) * rangeTenths;
    int64_t denominator = 512;
    if (decimals >= 1) {
        for (int i = 1; i < decimals; ++i)
            numerator *= 10;
    } else {
        denominator *= 10;
    }
    const int64_t magnitude = (std::llabs(numerator) * 2 + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

Panel panel(int value, int rangeTenths)
{
    // |volts| stays below 20 on every range; more than 99.99 cannot be shown with two places.
    const int64_t hundredths = std::min<int64_t>(std::llabs(scaledVolts(value, rangeTenths, 2)), 9999);
    Panel p;
    p.digits = {static_cast<uint8_t>(hundredths / 1000), static_cast<uint8_t>(hundredths / 100 % 10),
                static_cast<uint8_t>(hundredths / 10 % 10), static_cast<uint8_t>(hundredths % 10)};
    p.plus = value > 512 && rangeTenths > 0;
    return p;
}

QString holdValueText(int value, int rangeTenths, const QLocale& locale)
{
    const QString text =
        fixedText(scaledVolts(value, rangeTenths, 3), 3, locale.decimalPoint().front(), locale.negativeSign()) +
        QLatin1Char('V');
    return text.left(10);
}

QString holdLabel(const QString& holdValue, const QDateTime& when, const QLocale& locale)
{
    return holdValue + QStringLiteral("\t\t") + longTimeText(when.time(), locale) + QStringLiteral("   ") +
           shortDateText(when.date(), locale);
}

HoldLabelLayout holdLabelLayout(const QString& label, const QFontMetrics& metrics)
{
    HoldLabelLayout layout;
    const qsizetype tab = label.indexOf(QLatin1Char('\t'));
    layout.hold = tab < 0 ? label : label.left(tab);
    const int holdWidth = metrics.horizontalAdvance(layout.hold);
    if (tab < 0) {
        layout.stampX = holdWidth;
        layout.width = holdWidth;
        return layout;
    }
    qsizetype stamp = tab;
    while (stamp < label.size() && label[stamp] == QLatin1Char('\t'))
        ++stamp;
    layout.stamp = label.mid(stamp);
    // The widest hold text: a reading of 1 on the ±20 V range (0 is over range and never held).
    const int widestHold = metrics.horizontalAdvance(QStringLiteral("-19.961V"));
    layout.stampX = std::max(holdWidth, widestHold) + metrics.horizontalAdvance(QStringLiteral("   "));
    layout.width = layout.stampX + metrics.horizontalAdvance(layout.stamp);
    return layout;
}

QString valueText(int value, int rangeTenths, bool deviceMode)
{
    QString text = deviceMode && isOverRange(value)
                       ? QStringLiteral("----")
                       : fixedText(scaledVolts(value, rangeTenths, 2), 2, QLatin1Char('.'), QStringLiteral("-"));
    return (text + QLatin1Char('V')).left(10);
}

QString overlayValueText(const QString& text, int ch)
{
    // Blanks and overall lengths of CH1..CH4.
    static constexpr std::array<int, ChannelCount> Blanks = {9, 7, 8, 8};
    static constexpr std::array<int, ChannelCount> Lengths = {19, 17, 18, 18};
    const size_t c = static_cast<size_t>(ch);
    return (text + QString(Blanks[c], QLatin1Char(' '))).left(Lengths[c]);
}

}  // namespace dvm
