#pragma once

#include <QString>
#include <array>

// The thirteen time bases of the "Time/Div." group, in the order of its buttons.
struct TimeBaseEntry {
    const char* label;  // caption of the button and time-per-division label
    const char* buttonName;
    int sampleIntervalMs;  // time between two samples
    int timeDivCode;       // always 50 x sampleIntervalMs
};

inline constexpr std::array<TimeBaseEntry, 13> TimeBases{{
    {"1000s", "SpeedButton1000s", 10000, 500000},
    {"500s", "SpeedButton500s", 5000, 250000},
    {"200s", "SpeedButton200s", 2000, 100000},
    {"100s", "SpeedButton100s", 1000, 50000},
    {"50s", "SpeedButton50s", 500, 25000},
    {"20s", "SpeedButton20s", 200, 10000},
    {"10s", "SpeedButton10s", 100, 5000},
    {"5s", "SpeedButton5s", 50, 2500},
    {"2s", "SpeedButton2s", 20, 1000},
    {"1s", "SpeedButton1s", 10, 500},
    {"0.5s", "SpeedButton05s", 5, 250},
    {"0.2s", "SpeedButton02s", 2, 100},
    {"0.1s", "SpeedButton01s", 1, 50},
}};

constexpr int TimeBase1s = 9;  // index of "1s", pressed at start

// Seconds per sample of a recording, from its time-per-division label: a label that begins with
// "0." gives the digit after the point divided by 1000, any other its number divided by 100.
double timeStepOf(const QString& timeDivLabel);

// The elapsed-time text of a recording: "H hr  MM min  SS sec".
QString elapsedText(int64_t hours, int minutes, int seconds);
// Minutes or seconds as shown: two digits, a "0" put in front of values below 10.
QString twoDigits(int value);
