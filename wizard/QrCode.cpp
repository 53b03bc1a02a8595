#include "QrCode.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "SummaryText.h"

namespace {

// Level M of versions 1 to 10: all codewords of the symbol, error correction
// codewords of each block, and the number of blocks.
struct Layout {
    int codewords, eccPerBlock, blocks;
};
constexpr Layout kLayouts[10] = {{26, 10, 1},  {44, 16, 1},  {70, 26, 1},  {100, 18, 2}, {134, 24, 2},
                                 {172, 16, 4}, {196, 18, 4}, {242, 22, 4}, {292, 22, 5}, {346, 26, 5}};
// Centres of the alignment patterns in either direction besides 6.
constexpr int kAlignment[10][2] = {{0, 0},  {18, 0},  {22, 0},  {26, 0},  {30, 0},
                                   {34, 0}, {22, 38}, {24, 42}, {26, 46}, {28, 50}};

int DataCodewords(const Layout& l)
{
    return l.codewords - l.eccPerBlock * l.blocks;
}

int LengthBits(int version)
{
    return version < 10 ? 8 : 16;
}

// Product in GF(256) modulo x^8 + x^4 + x^3 + x^2 + 1.
uint8_t Multiply(uint8_t a, uint8_t b)
{
    unsigned r = 0;
    for (int i = 7; i >= 0; --i) {
        r = (r << 1) ^ ((r >> 7) * 0x11D);
        if ((b >> i) & 1)
            r ^= a;
    }
    return uint8_t(r);
}

// Reed-Solomon error correction codewords of one block: the remainder of
// data * x^n divided by (x - 1)(x - a)...(x - a^(n-1)), a = 2.
std::vector<uint8_t> Ecc(const std::vector<uint8_t>& data, int n)
{
    std::vector<uint8_t> generator{1}; // highest power first
    for (uint8_t root = 1; int(generator.size()) <= n; root = Multiply(root, 2)) {
        generator.push_back(0);
        for (size_t j = generator.size() - 1; j > 0; --j)
            generator[j] ^= Multiply(generator[j - 1], root);
    }
    std::vector<uint8_t> rest(n, 0);
    for (uint8_t byte : data) {
        const uint8_t factor = byte ^ rest[0];
        rest.erase(rest.begin());
        rest.push_back(0);
        for (int j = 0; j < n; ++j)
            rest[j] ^= Multiply(generator[j + 1], factor);
    }
    return rest;
}

// The codewords in the order they are placed: mode, length, the bytes, the
// terminator and padding; cut into blocks, each given its error correction,
// and interleaved.
std::vector<uint8_t> Codewords(std::string_view bytes, int version)
{
    const Layout& layout = kLayouts[version - 1];
    const size_t capacity = size_t(DataCodewords(layout)) * 8;
    std::vector<bool> bits;
    auto put = [&bits](unsigned value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bits.push_back((value >> i) & 1);
    };
    put(0b0100, 4);
    put(unsigned(bytes.size()), LengthBits(version));
    for (char c : bytes)
        put(uint8_t(c), 8);
    put(0, int(std::min<size_t>(4, capacity - bits.size())));
    while (bits.size() % 8)
        bits.push_back(false);
    for (unsigned pad = 0xEC; bits.size() < capacity; pad ^= 0xEC ^ 0x11)
        put(pad, 8);

    std::vector<uint8_t> data(capacity / 8, 0);
    for (size_t i = 0; i < capacity; ++i)
        data[i / 8] |= uint8_t(bits[i] << (7 - i % 8));

    // The last blocks take one data codeword more when they do not divide evenly.
    const int shortBlocks = layout.blocks - layout.codewords % layout.blocks;
    const int shortData = layout.codewords / layout.blocks - layout.eccPerBlock;
    std::vector<std::vector<uint8_t>> blocks, eccs;
    for (int b = 0, at = 0; b < layout.blocks; ++b) {
        const int length = shortData + (b >= shortBlocks ? 1 : 0);
        blocks.emplace_back(data.begin() + at, data.begin() + at + length);
        eccs.push_back(Ecc(blocks.back(), layout.eccPerBlock));
        at += length;
    }
    std::vector<uint8_t> out;
    for (int i = 0; i <= shortData; ++i)
        for (const auto& block : blocks)
            if (i < int(block.size()))
                out.push_back(block[i]);
    for (int i = 0; i < layout.eccPerBlock; ++i)
        for (const auto& ecc : eccs)
            out.push_back(ecc[i]);
    return out;
}

// A symbol being built: its modules and which of them are function patterns.
struct Grid {
    int size;
    std::vector<uint8_t> dark, fixed;

    explicit Grid(int version) : size(17 + 4 * version), dark(size_t(size) * size, 0), fixed(size_t(size) * size, 0) {}
    void Set(int x, int y, bool on)
    {
        dark[size_t(y) * size + x] = on;
        fixed[size_t(y) * size + x] = 1;
    }
    bool Dark(int x, int y) const { return dark[size_t(y) * size + x] != 0; }
};

// The check bits of a BCH code: value * x^n modulo the generator of degree n.
unsigned BchRemainder(unsigned value, unsigned generator, int n)
{
    unsigned rest = value;
    for (int i = 0; i < n; ++i)
        rest = (rest << 1) ^ (((rest >> (n - 1)) & 1) * generator);
    return rest & ((1u << n) - 1);
}

// Level M is 00, so the five data bits are the mask number.
void DrawFormat(Grid& g, int mask)
{
    const unsigned bits = ((unsigned(mask) << 10) | BchRemainder(mask, 0x537, 10)) ^ 0x5412;
    auto bit = [bits](int i) { return ((bits >> i) & 1) != 0; };
    const int n = g.size;
    for (int i = 0; i < 6; ++i) {
        g.Set(8, i, bit(i));
        g.Set(5 - i, 8, bit(9 + i));
    }
    g.Set(8, 7, bit(6));
    g.Set(8, 8, bit(7));
    g.Set(7, 8, bit(8));
    for (int i = 0; i < 8; ++i)
        g.Set(n - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i)
        g.Set(8, n - 15 + i, bit(i));
    g.Set(8, n - 8, true);
}

void DrawFunctionPatterns(Grid& g, int version)
{
    const int n = g.size;
    for (int i = 0; i < n; ++i) {
        g.Set(6, i, i % 2 == 0);
        g.Set(i, 6, i % 2 == 0);
    }
    // Finder patterns with their light separators.
    for (auto [fx, fy] : {std::pair{0, 0}, {n - 7, 0}, {0, n - 7}})
        for (int dy = -1; dy <= 7; ++dy)
            for (int dx = -1; dx <= 7; ++dx) {
                const int x = fx + dx, y = fy + dy;
                const int ring = std::max(std::abs(dx - 3), std::abs(dy - 3));
                if (x >= 0 && y >= 0 && x < n && y < n)
                    g.Set(x, y, ring != 2 && ring != 4);
            }
    // Alignment patterns everywhere but over the finder patterns.
    std::vector<int> centres{6};
    for (int c : kAlignment[version - 1])
        if (c)
            centres.push_back(c);
    for (int cx : centres)
        for (int cy : centres) {
            if ((cx == 6 && cy == 6) || (cx == 6 && cy == n - 7) || (cx == n - 7 && cy == 6))
                continue;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    g.Set(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
        }
    DrawFormat(g, 0); // reserves its modules; drawn again for each mask
    if (version >= 7) {
        const unsigned bits = (unsigned(version) << 12) | BchRemainder(version, 0x1F25, 12);
        for (int i = 0; i < 18; ++i) {
            const bool on = (bits >> i) & 1;
            g.Set(n - 11 + i % 3, i / 3, on);
            g.Set(i / 3, n - 11 + i % 3, on);
        }
    }
}

// Two columns at a time from the right, up and down in turn, the vertical
// timing pattern skipped; modules past the codewords stay light.
void DrawCodewords(Grid& g, const std::vector<uint8_t>& codewords)
{
    const size_t total = codewords.size() * 8;
    size_t i = 0;
    bool upward = true;
    for (int right = g.size - 1; right > 0; right -= 2, upward = !upward) {
        if (right == 6)
            right = 5;
        for (int k = 0; k < g.size; ++k) {
            const int y = upward ? g.size - 1 - k : k;
            for (int x = right; x >= right - 1; --x) {
                if (g.fixed[size_t(y) * g.size + x])
                    continue;
                g.dark[size_t(y) * g.size + x] = i < total && ((codewords[i / 8] >> (7 - i % 8)) & 1);
                ++i;
            }
        }
    }
}

bool MaskFlips(int mask, int x, int y)
{
    switch (mask) {
    case 0:
        return (x + y) % 2 == 0;
    case 1:
        return y % 2 == 0;
    case 2:
        return x % 3 == 0;
    case 3:
        return (x + y) % 3 == 0;
    case 4:
        return (y / 2 + x / 3) % 2 == 0;
    case 5:
        return x * y % 2 + x * y % 3 == 0;
    case 6:
        return (x * y % 2 + x * y % 3) % 2 == 0;
    default:
        return ((x + y) % 2 + x * y % 3) % 2 == 0;
    }
}

// One row or column: 3 for a run of five modules of one colour and 1 for
// each further module. 40 for a dark-light-dark-light-dark run in the ratio
// 1:1:3:1:1, of any unit, for each of its sides where light of at least four
// units lies, provided light of at least one unit closes it on both sides
// (the quiet zone counts as light).
int LinePenalty(const std::vector<uint8_t>& line)
{
    std::vector<int> runs{0}; // light and dark in turn, starting with light
    for (uint8_t module : line) {
        if ((module != 0) != (runs.size() % 2 == 0))
            runs.push_back(0);
        ++runs.back();
    }
    int score = 0;
    for (int run : runs)
        if (run >= 5)
            score += run - 2;
    const int quiet = int(line.size());
    runs.front() += quiet;
    if (runs.size() % 2 == 0)
        runs.push_back(0);
    runs.back() += quiet;
    for (size_t k = 3; k + 3 < runs.size(); k += 2) {
        const int unit = runs[k - 2];
        if (runs[k] != 3 * unit || runs[k - 1] != unit || runs[k + 1] != unit || runs[k + 2] != unit)
            continue;
        const int before = runs[k - 3], after = runs[k + 3];
        if (before >= unit && after >= unit)
            score += (before >= 4 * unit ? 40 : 0) + (after >= 4 * unit ? 40 : 0);
    }
    return score;
}

int Penalty(const Grid& g)
{
    const int n = g.size;
    int score = 0, darkCount = 0;
    std::vector<uint8_t> row(n), column(n);
    for (int a = 0; a < n; ++a) {
        for (int b = 0; b < n; ++b) {
            row[b] = g.Dark(b, a);
            column[b] = g.Dark(a, b);
            darkCount += row[b];
        }
        score += LinePenalty(row) + LinePenalty(column);
    }
    for (int y = 0; y + 1 < n; ++y)
        for (int x = 0; x + 1 < n; ++x) {
            const bool d = g.Dark(x, y);
            if (g.Dark(x + 1, y) == d && g.Dark(x, y + 1) == d && g.Dark(x + 1, y + 1) == d)
                score += 3;
        }
    // 10 for each whole step of 5 % by which the dark share strays from
    // half, a share right on a step counting to the step below.
    const int total = n * n;
    score += 10 * ((std::abs(20 * darkCount - 10 * total) - 1) / total);
    return score;
}

} // namespace

std::optional<QrMatrix> EncodeQr(std::string_view bytes)
{
    int version = 1;
    while (version <= 10 &&
           4 + LengthBits(version) + 8 * bytes.size() > size_t(DataCodewords(kLayouts[version - 1])) * 8)
        ++version;
    if (version > 10)
        return std::nullopt;

    Grid base(version);
    DrawFunctionPatterns(base, version);
    DrawCodewords(base, Codewords(bytes, version));

    std::optional<QrMatrix> best;
    int bestPenalty = 0;
    for (int mask = 0; mask < 8; ++mask) {
        Grid g = base;
        for (int y = 0; y < g.size; ++y)
            for (int x = 0; x < g.size; ++x)
                if (!g.fixed[size_t(y) * g.size + x] && MaskFlips(mask, x, y))
                    g.dark[size_t(y) * g.size + x] ^= 1;
        DrawFormat(g, mask);
        const int penalty = Penalty(g);
        if (!best || penalty < bestPenalty) {
            best = QrMatrix{g.size, std::move(g.dark), mask, version};
            bestPenalty = penalty;
        }
    }
    return best;
}

std::string WifiJoinText(std::wstring_view ssid, std::wstring_view key)
{
    auto escaped = [](std::wstring_view value) {
        std::wstring out;
        for (wchar_t c : value) {
            if (std::wstring_view(L"\\;,:\"").find(c) != std::wstring_view::npos)
                out += L'\\';
            out += c;
        }
        return out;
    };
    const std::wstring text = L"WIFI:T:WPA;S:" + escaped(ssid) + L";P:" + escaped(key) + L";;";
    return Utf8WithBom(text).substr(3);
}
