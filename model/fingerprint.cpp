#include "model/fingerprint.h"

#include <QtEndian>

#include <cstring>

namespace {

// Four lanes of multiply-rotate rounds over 32-byte blocks (the structure of xxHash64), folded
// together with the length at the end.
constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

constexpr std::uint64_t rotl(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

std::uint64_t round(std::uint64_t lane, std::uint64_t input) {
    return rotl(lane + input * kPrime2, 31) * kPrime1;
}

std::uint64_t mergeRound(std::uint64_t acc, std::uint64_t lane) {
    return (acc ^ round(0, lane)) * kPrime1 + kPrime4;
}

// Little-endian words whatever the machine, so a fingerprint means the same everywhere.
std::uint64_t word64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k)
        v = v << 8 | p[k];
    return v;
}

std::uint32_t word32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

} // namespace

Fingerprint::Fingerprint() : lanes_{kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1} {}

void Fingerprint::block(const unsigned char* p) {
    for (int k = 0; k < 4; ++k)
        lanes_[k] = round(lanes_[k], word64(p + 8 * k));
}

void Fingerprint::add(const char* data, std::int64_t size) {
    if (size <= 0)
        return;
    auto p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    total_ += static_cast<std::uint64_t>(size);
    if (pendingSize_ > 0) {
        const auto take = static_cast<int>(std::min<std::int64_t>(32 - pendingSize_, end - p));
        std::memcpy(pending_.data() + pendingSize_, p, static_cast<std::size_t>(take));
        pendingSize_ += take;
        p += take;
        if (pendingSize_ < 32)
            return;
        block(pending_.data());
        pendingSize_ = 0;
    }
    for (; end - p >= 32; p += 32)
        block(p);
    pendingSize_ = static_cast<int>(end - p);
    std::memcpy(pending_.data(), p, static_cast<std::size_t>(pendingSize_));
}

QByteArray Fingerprint::hex() const {
    std::uint64_t h =
        total_ >= 32 ? rotl(lanes_[0], 1) + rotl(lanes_[1], 7) + rotl(lanes_[2], 12) + rotl(lanes_[3], 18)
                     : lanes_[2] + kPrime5;
    if (total_ >= 32)
        for (const std::uint64_t lane : lanes_)
            h = mergeRound(h, lane);
    h += total_;
    const unsigned char* p = pending_.data();
    const unsigned char* const end = p + pendingSize_;
    for (; end - p >= 8; p += 8)
        h = rotl(h ^ round(0, word64(p)), 27) * kPrime1 + kPrime4;
    if (end - p >= 4) {
        h = rotl(h ^ (std::uint64_t(word32(p)) * kPrime1), 23) * kPrime2 + kPrime3;
        p += 4;
    }
    for (; p < end; ++p)
        h = rotl(h ^ (*p * kPrime5), 11) * kPrime1;
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return QByteArray::number(static_cast<qulonglong>(h), 16).rightJustified(16, '0');
}

bool Fingerprint::isHex(const QByteArray& text) {
    if (text.size() != 16)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

FingerprintingDevice::FingerprintingDevice(QIODevice& target, Fingerprint& fingerprint)
    : target_(target), fingerprint_(fingerprint) {
    open(QIODevice::WriteOnly);
}

qint64 FingerprintingDevice::writeData(const char* data, qint64 size) {
    if (target_.write(data, size) != size)
        return -1;
    fingerprint_.add(data, size);
    return size;
}
