#pragma once

#include <QString>

// A text field of the recorder state with a fixed maximum length. The recorder keeps these as
// single-byte Windows-1252 strings; assigning a longer value keeps only its first N characters.
template <int N>
class BoundedText {
public:
    BoundedText() = default;
    BoundedText(const QString& s) : text_(s.left(N)) {}                // NOLINT(google-explicit-constructor)
    BoundedText(const char* s) : BoundedText(QString::fromUtf8(s)) {}  // NOLINT

    BoundedText& operator=(const QString& s)
    {
        text_ = s.left(N);
        return *this;
    }
    BoundedText& operator=(const char* s) { return *this = QString::fromUtf8(s); }

    operator const QString&() const { return text_; }  // NOLINT(google-explicit-constructor)
    const QString& str() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }
    int length() const { return static_cast<int>(text_.length()); }
    static constexpr int maxLength() { return N; }

    friend bool operator==(const BoundedText& a, const QString& b) { return a.text_ == b; }
    friend bool operator==(const BoundedText& a, const char* b) { return a.text_ == QString::fromUtf8(b); }
    friend bool operator!=(const BoundedText& a, const QString& b) { return !(a == b); }
    friend QString operator+(const BoundedText& a, const QString& b) { return a.text_ + b; }
    friend QString operator+(const QString& a, const BoundedText& b) { return a + b.text_; }
    friend QString operator+(const BoundedText& a, const char* b) { return a.text_ + QString::fromUtf8(b); }

private:
    QString text_;
};
