// The reply and port-scan fuzz entry over a fixed set of random inputs: word
// reads and whole table reads with right, late, silent and garbled replies,
// and scans over ports that send junk, with or without a frame among it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

void Frame(std::vector<uint8_t> &out, std::mt19937 &rng, bool seven)
{
    const uint32_t r = rng();
    if (seven) {
        const uint8_t f[7] = {uint8_t(0xE0 | (r & 0x0F)), uint8_t(r >> 4 & 0x7F), uint8_t(r >> 11 & 0x7F),
                              uint8_t(0xA0 | (r >> 18 & 0x0F)), uint8_t(r >> 22 & 0x7F), 9,
                              uint8_t(0x0A | (r >> 29 & 3) << 5)};
        out.insert(out.end(), f, f + 7);
    } else {
        const uint8_t f[12] = {0xAA, uint8_t(r & 0x7F), uint8_t(r >> 8 & 0x7F), uint8_t(r >> 16 & 0x7F), 1, 2, 3,
                               4, 5, 6, uint8_t(r >> 24 & 0x0F), 0x88};
        out.insert(out.end(), f, f + 12);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 1500;
    std::mt19937 rng(20240611);
    std::vector<uint8_t> in;
    for (int run = 0; run < runs; ++run) {
        const int mode = run % 3;
        const int type = (run / 3) % 6;
        const bool seven = type == 0;
        in.assign({uint8_t(mode), uint8_t(type)});
        if (mode == 2) {
            // One port in three holds a frame somewhere in its junk.
            for (int p = 1; p <= 16; ++p) {
                in.push_back(uint8_t(rng()));
                std::vector<uint8_t> stream;
                const int junk = int(rng() % 30);
                for (int i = 0; i < junk; ++i)
                    stream.push_back(uint8_t(rng() % 3 == 0 ? (seven ? 0xE5 : 0xAA) : rng()));
                if (rng() % 3 == 0)
                    Frame(stream, rng, seven);
                if (stream.size() > 63)
                    stream.resize(63);
                in.push_back(uint8_t(stream.size()));
                in.insert(in.end(), stream.begin(), stream.end());
            }
            in.push_back(uint8_t(rng() % 40));
        } else {
            // Answers: mostly right and early in one run of two, arbitrary in the other.
            const size_t n = rng() % (mode == 0 ? 120 : 400);
            const bool mostlyRight = run % 2 == 0;
            while (in.size() < n + 2) {
                const uint32_t r = rng();
                in.push_back(uint8_t(mostlyRight && r % 4 != 0 ? (r >> 8 & 0x3C) : r >> 8));
            }
        }
        LLVMFuzzerTestOneInput(in.data(), in.size());
    }
    std::printf("reply fuzz: %d inputs, no failure\n", runs);
    return 0;
}
