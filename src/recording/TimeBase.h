#pragma once

#include <QString>
#include <array>

// The thirteen time bases of the "Time/Div." group, in the order of its buttons.
struct TimeBaseEntry {
    const char* label;       // caption of the button and time-per-division label
    const char* buttonName;  // objectName of its button
    int sampleIntervalMs;    // time between two samples
    int timeDivCode;         // always 50 x sampleIntervalMs
};

inline constexpr std::array<TimeBaseEntry, 13> TimeBases{{
    {"1000s", "timeBase1000sButton", 10000, 500000},
    {"500s", "timeBase500sButton", 5000, 250000},
    {"200s", "timeBase200sButton", 2000, 100000},
    {"100s", "timeBase100sButton", 1000, 50000},
    {"50s", "timeBase50sButton", 500, 25000},
    {"20s", "timeBase20sButton", 200, 10000},
    {"10s", "timeBase10sButton", 100, 5000},
    {"5s", "timeBase5sButton", 50, 2500},
    {"2s", "timeBase2sButton", 20, 1000},
    {"1s", "timeBase1sButton", 10, 500},
    {"0.5s", "timeBase05sButton", 5, 250},
    {"0.2s", "timeBase02sButton", 2, 100},
    {"0.1s", "timeBase01sButton", 1, 50},
}};

constexpr int TimeBase1s = 9;  // index of "1s", pressed at start

// Seconds per sample of a recording, from its time-per-division label: a label that begins with
// "0." gives the digit after the point divided by 1000, any other its number divided by 100.
double timeStepOf(const QString& timeDivLabel);

// The elapsed-time text of a recording: "H hr  MM min  SS sec".
QString elapsedText(int64_t hours, int minutes, int seconds);
// Minutes or seconds as shown: two digits, a "0" put in front of values below 10.
QString twoDigits(int value);
