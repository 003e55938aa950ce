#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

// A 64-bit fingerprint of a run of bytes, fed in pieces of any size: enough to tell a file from
// any other by accident (a damaged file, another game's file), at several gigabytes a second,
// so that a picture of hundreds of megabytes is checked in a small part of its reading time. It
// is no defence against a file made to match on purpose.
class Fingerprint {
public:
    Fingerprint();
    void add(const char* data, std::int64_t size);
    void add(const QByteArray& bytes) { add(bytes.constData(), bytes.size()); }
    // 16 lower-case hex digits; the fingerprint can be fed on afterwards.
    QByteArray hex() const;

    // Whether a text is a fingerprint as hex() writes it.
    static bool isHex(const QByteArray& text);

private:
    void block(const unsigned char* p);

    std::array<std::uint64_t, 4> lanes_;
    std::array<unsigned char, 32> pending_{};
    int pendingSize_ = 0;
    std::uint64_t total_ = 0;
};
