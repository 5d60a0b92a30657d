#pragma once

// A reference reader for the page tests, the fuzz target and the benchmark: each page turn reads
// the file again from the top, line by line, exactly as the page rules are written, without any
// index. The indexed reader must give the same screens, PageEnd values and buttons.

#include <fstream>
#include <optional>
#include <string>

#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"
#include "ui/RecorderState.h"

class SequentialPager {
public:
    explicit SequentialPager(std::string path) : path_(std::move(path)) {}

    datafile::PageState open(RecorderState& st) { return turn(st, 12, 1700, Kind::Open, 1700); }
    // PageEnd is held to datafile::MaxPageEnd wherever a turn counts lines from it or takes it from
    // a file, as the program does, so that no line number overflows.
    datafile::PageState forward(RecorderState& st, int64_t pageEnd)
    {
        return turn(st, held(pageEnd) + 13, 1700, Kind::Forward, pageEnd);
    }
    datafile::PageState back(RecorderState& st, int64_t pageEnd)
    {
        const int64_t skip = held(pageEnd) - 3388;
        return turn(st, skip < 0 ? 12 : skip, 1701, Kind::Back, pageEnd);
    }

private:
    enum class Kind { Open, Forward, Back };

    static int64_t held(int64_t pageEnd) { return datafile::clampPageEnd(pageEnd); }

    std::optional<std::string> readLine()
    {
        std::string line;
        if (!std::getline(in_, line))
            return std::nullopt;
        if (!line.empty() && line.back() == '\r' && line.size() <= datafile::LineWidth + 1)
            line.pop_back();
        if (line.size() > datafile::LineWidth)
            line.resize(datafile::LineWidth);
        return line;
    }
    bool atEnd() { return in_.peek() == std::char_traits<char>::eof(); }

    datafile::PageState turn(RecorderState& st, int64_t skip, int count, Kind kind, int64_t pageEnd)
    {
        in_ = std::ifstream(path_, std::ios::binary);
        for (int64_t i = 0; i < skip && readLine(); ++i) {
        }
        for (int p = 0; p < count; ++p) {
            const auto line = readLine();
            const auto raw = line ? datafile::classifyLine(*line) : std::nullopt;
            for (int c = 0; c < ChannelCount; ++c)
                st.trace(c, p) = raw ? datafile::screenValueOfRaw((*raw)[static_cast<size_t>(c)]) : 255;
        }
        const auto next = readLine();
        const bool last = next && atEnd();
        const bool tab = next && next->find('\t') != std::string::npos;
        std::optional<int64_t> number;
        if (next && !next->empty() && (*next)[0] >= '1' && (*next)[0] <= '9')
            number = datafile::parseInteger(next->substr(0, next->find('\t')));

        datafile::PageState s;
        switch (kind) {
            case Kind::Open:
                if (next && tab && !last && number) {
                    s.pageEnd = held(*number);
                    s.forward = true;
                }
                break;
            case Kind::Forward:
                s = {pageEnd, true, false};
                if (!next || !tab || last) {
                    s.pageEnd = held(pageEnd) + 1700;
                } else if (number) {
                    s.pageEnd = held(*number - 1);
                    s.forward = true;
                }
                break;
            case Kind::Back:
                s = {pageEnd, false, false};
                if (next && tab && !last && number) {
                    s.pageEnd = held(*number - 1);
                    s.back = s.pageEnd >= 3400;
                    s.forward = true;
                }
                break;
        }
        return s;
    }

    std::string path_;
    std::ifstream in_;
};
