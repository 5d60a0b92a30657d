#pragma once

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "device/SampleAveraging.h"
#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "recording/ScreenBuffer.h"

// The present voltage of a channel as the DVM panels and the value texts show it: the reading,
// the digits and sign of a panel, the hold texts of its Max and Min labels and the short value
// text of the bottom row. Widget-free; the window puts the results on its controls.
namespace dvm {

// A reading at one end of the 10-bit range: the input may lie beyond it, so no value is shown.
constexpr bool isOverRange(int value)
{
    return value <= 0 || value >= 1023;
}

// The reading of channel `ch` (0..3) at refresh time, clamped to 0..1023.
// Demo mode: the screen value just stored at SampleIndex turned back into a reading.
// Device mode: the average of the reports summed so far for the sample being formed, plus the
// channel's calibration offset. A refresh can come before the first report of a sample has
// arrived (ReportCount 0); there is no reading then, and the displays keep their last value.
std::optional<int> reading(const ScreenBuffer& buffer, const RunState& run, const SampleAverager& sums,
                           const ChannelSetup& channels, int ch);

// Volts of a reading on a range given in tenths of a volt.
double volts(int value, int rangeTenths);

// The reading in 1 / 10^decimals volts, rounded half away from zero. Worked in integers, so the
// texts never depend on how a double happens to round: 1022 on ±20 V is 1992 hundredths.
int64_t scaledVolts(int value, int rangeTenths, int decimals);

// What a DVM panel shows for a reading that is not over range: four digits dd.dd of the
// magnitude (2.34 V reads 02.34) and the sign, plus only for a positive reading (zero reads minus).
struct Panel {
    std::array<uint8_t, 4> digits{};
    bool plus = false;
};
Panel panel(int value, int rangeTenths);

// The hold text of a Max or Min label before its time stamp: signed volts with three decimals in
// the locale's notation, then "V", e.g. -1.250V.
QString holdValueText(int value, int rangeTenths, const QLocale& locale);
// The whole label: hold text, two TABs, the time in the locale's long format, three blanks and the
// date in its short format.
QString holdLabel(const QString& holdValue, const QDateTime& when, const QLocale& locale);

// Where the parts of a Max or Min label go when it is drawn: the hold text at the left and the
// time stamp (time and date) in a column after the widest hold text a label can show, so that
// the stamps of both labels of a panel line up and the whole text fits the panel. (Expanded at
// the platform's TAB stops, the two TABs would push the date out of the panel.) A text without a
// TAB is all hold text.
struct HoldLabelLayout {
    QString hold;
    QString stamp;
    int stampX = 0;  // left edge of the stamp, from the left edge of the text
    int width = 0;   // the width of the whole text
};
HoldLabelLayout holdLabelLayout(const QString& label, const QFontMetrics& metrics);

// The value text of the bottom row: volts with two decimals and "V", e.g. -1.25V; "----V" for an
// over-range reading in device mode (the demo shows the voltage of the end value). A reading that
// rounds to zero reads 0.00V, never -0.00V.
QString valueText(int value, int rangeTenths, bool deviceMode);

// The text refreshValueTexts draws on the overlay for channel `ch`: the value text with blanks that wipe
// what a longer earlier text left there.
QString overlayValueText(const QString& text, int ch);

}  // namespace dvm
