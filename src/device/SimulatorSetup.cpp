#include "device/SimulatorSetup.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

bool toDouble(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

bool toInteger(const std::string& text, int64_t low, int64_t high, int64_t& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool parseSignal(const std::string& text, InputSignal& signal, std::string& why)
{
    const std::vector<std::string> parts = split(text, ':');
    const std::string& shape = parts[0];
    if (shape == "dc") {
        if (parts.size() != 2) {
            why = "expected dc:V";
            return false;
        }
        signal = InputSignal{};
        if (!toDouble(parts[1], signal.amplitude)) {
            why = "\"" + parts[1] + "\" is not a number of volts";
            return false;
        }
        return true;
    }
    InputSignal s;
    if (shape == "sine")
        s.shape = InputSignal::Shape::Sine;
    else if (shape == "square")
        s.shape = InputSignal::Shape::Square;
    else if (shape == "triangle")
        s.shape = InputSignal::Shape::Triangle;
    else {
        why = "unknown signal \"" + shape + "\" (dc, sine, square or triangle)";
        return false;
    }
    if (parts.size() < 3 || parts.size() > 4) {
        why = "expected " + shape + ":A:F or " + shape + ":A:F:V0";
        return false;
    }
    if (!toDouble(parts[1], s.amplitude)) {
        why = "amplitude \"" + parts[1] + "\" is not a number";
        return false;
    }
    if (!toDouble(parts[2], s.frequency) || s.frequency < 0) {
        why = "frequency \"" + parts[2] + "\" is not a number of Hz of 0 or more";
        return false;
    }
    if (parts.size() == 4 && !toDouble(parts[3], s.offset)) {
        why = "offset \"" + parts[3] + "\" is not a number";
        return false;
    }
    signal = s;
    return true;
}

}  // namespace

double InputSignal::voltsAt(double t) const
{
    if (shape == Shape::Dc)
        return amplitude;
    const double phase = t * frequency - std::floor(t * frequency);  // 0..1
    double unit = 0.0;
    switch (shape) {
        case Shape::Sine:
            unit = std::sin(2.0 * Pi * phase);
            break;
        case Shape::Square:
            unit = phase < 0.5 ? 1.0 : -1.0;
            break;
        case Shape::Triangle:
            unit = phase < 0.25 ? 4.0 * phase : phase < 0.75 ? 2.0 - 4.0 * phase : 4.0 * phase - 4.0;
            break;
        case Shape::Dc:
            break;
    }
    return offset + amplitude * unit;
}

bool parseSimulatorSetup(const std::string& setup, SimulatorConfig& config, std::string& error)
{
    SimulatorConfig c;
    for (const std::string& item : split(setup, ',')) {
        if (item.empty())
            continue;
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
        auto fail = [&](const std::string& why) {
            error = "bad simulator item \"" + item + "\": " + why;
            return false;
        };
        if (eq == std::string::npos)
            return fail("expected name=value");
        constexpr int64_t maxCount = 1023;
        constexpr int64_t maxMs = std::numeric_limits<int64_t>::max() / 2;
        int64_t n = 0;
        if (name.size() == 3 && name.compare(0, 2, "ch") == 0 && name[2] >= '1' && name[2] <= '4') {
            std::string why;
            if (!parseSignal(value, c.channels[static_cast<size_t>(name[2] - '1')], why))
                return fail(why);
        } else if (name == "zero" || name == "zero4") {
            if (!toInteger(value, -maxCount, maxCount, n))
                return fail("expected a whole number of counts from -1023 to 1023");
            (name == "zero" ? c.zero : c.zero4) = static_cast<int>(n);
        } else if (name == "noise") {
            if (!toInteger(value, 0, maxCount, n))
                return fail("expected a whole number of counts from 0 to 1023");
            c.noise = static_cast<int>(n);
        } else if (name == "unplug" || name == "stall") {
            if (!toInteger(value, 0, maxMs, n))
                return fail("expected a whole number of milliseconds, 0 or more");
            (name == "unplug" ? c.unplugMs : c.stallMs) = n;
        } else if (name == "repeat") {
            if (!toInteger(value, 1, 100, n))
                return fail("expected a whole number from 1 to 100");
            c.repeat = static_cast<int>(n);
        } else if (name == "noaccess") {
            if (!toInteger(value, 0, 1, n))
                return fail("expected 0 or 1");
            c.noAccess = n != 0;
        } else {
            return fail("unknown name \"" + name +
                        "\" (ch1..ch4, zero, zero4, noise, unplug, stall, repeat, noaccess)");
        }
    }
    config = c;
    return true;
}
