#pragma once

#include <QByteArray>
#include <QIODevice>

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

// Passes what is written on to another device and feeds it to a fingerprint on the way: a file's
// fingerprint as it is written, without reading it back.
class FingerprintingDevice : public QIODevice {
public:
    FingerprintingDevice(QIODevice& target, Fingerprint& fingerprint);

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& target_;
    Fingerprint& fingerprint_;
};
