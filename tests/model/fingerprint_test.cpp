#include "model/fingerprint.h"

#include <gtest/gtest.h>

#include <random>

// The fingerprint is xxHash64 (seed 0): the values its reference implementation gives, whatever
// pieces the bytes come in.
TEST(Fingerprint, GivesXxHash64OfTheBytesInAnyPieces) {
    QByteArray hundred;
    for (int k = 0; k < 100; ++k)
        hundred.append(char(k));
    const std::pair<QByteArray, QByteArray> known[] = {
        {QByteArray(), "ef46db3751d8e999"},
        {QByteArray("abc"), "44bc2cf5ad770999"},
        {QByteArray(31, 'a'), "fe47067cda802916"},
        {QByteArray(32, 'b'), "52f8a81967c87ae4"},
        {hundred, "6ac1e58032166597"},
    };
    std::mt19937 random(3);
    for (const auto& [bytes, hex] : known) {
        Fingerprint whole;
        whole.add(bytes);
        EXPECT_EQ(whole.hex(), hex);
        EXPECT_TRUE(Fingerprint::isHex(whole.hex()));
        Fingerprint pieces;
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype size = std::min<qsizetype>(bytes.size() - at, random() % 40);
            pieces.add(bytes.constData() + at, size);
            at += size;
        }
        EXPECT_EQ(pieces.hex(), hex);
    }
    EXPECT_FALSE(Fingerprint::isHex("44BC2CF5AD770999"));
    EXPECT_FALSE(Fingerprint::isHex("44bc2cf5ad77099"));
}
