// The QR encoder held module by module against Debian's qrcodegen library,
// and the Wi-Fi join text it is given.
#include "QrCode.h"

#include <gtest/gtest.h>
#include <qrcodegen.hpp>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::string RandomBytes(std::mt19937& rng, size_t length)
{
    std::string s;
    for (size_t i = 0; i < length; ++i)
        s += char(rng() & 0xFF);
    return s;
}

std::wstring RandomText(std::mt19937& rng, size_t length)
{
    const std::wstring pool = L"abcXYZ019 \\;,:\"'=.-_\u00E9\u00DF\u4E2D\U0001F4F6";
    std::wstring s;
    for (size_t i = 0; i < length; ++i)
        s += pool[rng() % pool.size()];
    return s;
}

std::vector<std::string> Inputs()
{
    std::mt19937 rng(20240611);
    std::vector<std::string> inputs;
    // Every length, across each version's capacity and past the largest.
    for (size_t length = 0; length <= kQrMaxBytes + 1; ++length)
        inputs.push_back(RandomBytes(rng, length));
    inputs.push_back(RandomBytes(rng, 1000));
    // Every byte value in order, and runs of one byte, which give long runs
    // of one colour and the finder-like patterns the penalty looks for.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    inputs.push_back(all.substr(0, kQrMaxBytes));
    inputs.push_back(all.substr(256 - kQrMaxBytes));
    for (size_t length = 1; length <= kQrMaxBytes; length += 8)
        inputs.push_back(std::string(length, "\x00\xFF\xAA\x55\x11"[length % 5]));
    for (int i = 0; i < 60; ++i)
        inputs.push_back(WifiJoinText(RandomText(rng, 1 + rng() % 32), RandomText(rng, 8 + rng() % 56)));
    return inputs;
}

} // namespace

TEST(QrCode, SameModulesAsTheReferenceEncoderAndEveryMaskChosen)
{
    using qrcodegen::QrCode;
    std::set<int> masks;
    int encoded = 0;
    for (const std::string& input : Inputs()) {
        const auto ours = EncodeQr(input);
        std::optional<QrCode> ref;
        try {
            ref = QrCode::encodeSegments({qrcodegen::QrSegment::makeBytes({input.begin(), input.end()})},
                                         QrCode::Ecc::MEDIUM, 1, 10, -1, false);
        } catch (const qrcodegen::data_too_long&) {
        }
        ASSERT_EQ(ours.has_value(), ref.has_value()) << input.size() << " bytes";
        if (!ours)
            continue;
        ++encoded;
        masks.insert(ours->mask);
        ASSERT_EQ(ours->version, ref->getVersion()) << input.size() << " bytes";
        ASSERT_EQ(ours->size, ref->getSize());
        ASSERT_EQ(ours->modules.size(), size_t(ours->size * ours->size));
        EXPECT_EQ(ours->mask, ref->getMask()) << input.size() << " bytes, version " << ours->version;
        int differing = 0;
        for (int y = 0; y < ours->size; ++y)
            for (int x = 0; x < ours->size; ++x)
                differing += ours->At(x, y) != ref->getModule(x, y);
        EXPECT_EQ(differing, 0) << input.size() << " bytes, version " << ours->version;
    }
    EXPECT_GT(encoded, 250);
    EXPECT_EQ(masks.size(), 8u);
}

TEST(QrCode, WifiJoinTextEscapesTheFiveMarkCharactersAndIsUtf8)
{
    const struct {
        std::wstring ssid, key;
        std::string text;
    } cases[] = {
        {L"Home", L"secret12", "WIFI:T:WPA;S:Home;P:secret12;;"},
        {L"a\\b;c,d:e\"f", L";;", "WIFI:T:WPA;S:a\\\\b\\;c\\,d\\:e\\\"f;P:\\;\\;;;"},
        // Other punctuation stays as it is.
        {L"it's = home!", L"p@ss w0rd", "WIFI:T:WPA;S:it's = home!;P:p@ss w0rd;;"},
        {L"Caf\u00E9", L"\u4E2D\U0001F4F6", "WIFI:T:WPA;S:Caf\xC3\xA9;P:\xE4\xB8\xAD\xF0\x9F\x93\xB6;;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WifiJoinText(c.ssid, c.key), c.text);
}

TEST(QrCode, NothingPastWhatVersionTenHolds)
{
    ASSERT_TRUE(EncodeQr(std::string(kQrMaxBytes, 'x')));
    EXPECT_EQ(EncodeQr(std::string(kQrMaxBytes, 'x'))->version, 10);
    EXPECT_FALSE(EncodeQr(std::string(kQrMaxBytes + 1, 'x')));
    EXPECT_FALSE(EncodeQr(std::string(1 << 20, 'x')));
}
