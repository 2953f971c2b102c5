// The fuzz entry point over a fixed set of random inputs: arbitrary streams,
// streams made of frames and junk, and framed segments, for every model.
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3000;
    std::mt19937 rng(20240501);
    std::vector<uint8_t> in;
    for (int run = 0; run < runs; ++run) {
        in.clear();
        in.push_back(uint8_t(run % 6));
        in.push_back(uint8_t((run / 6) % 2));
        const size_t n = rng() % 1200;
        const int flavour = run % 4;
        while (in.size() < n + 2) {
            const uint32_t r = rng();
            if (flavour == 1 && r % 5 == 0) {
                // a well-formed looking twelve-byte frame
                const uint8_t f[12] = {0xAA, uint8_t(r & 0x7F), uint8_t(r >> 8 & 0x7F), uint8_t(r >> 16 & 0x7F),
                                       uint8_t(r >> 3 & 0x7F), 1, 2, 3, 4, 5, uint8_t(r >> 24 & 0x0F), 0x88};
                in.insert(in.end(), f, f + 12);
            } else if (flavour == 2 && r % 4 == 0) {
                // a seven-byte frame with a large or negative force
                const uint8_t f[7] = {uint8_t(0xE0 | (r & 0x0F)), uint8_t(r >> 4 & 0x7F), uint8_t(r >> 11 & 0x7F),
                                      uint8_t(0xA0 | (r >> 18 & 0x0F)), uint8_t(r >> 22 & 0x7F), 9,
                                      uint8_t(0x0A | (r >> 29 & 3) << 5)};
                in.insert(in.end(), f, f + 7);
            } else if (flavour == 3) {
                // start and end bytes are frequent
                const uint8_t pick[] = {0xAA, 0x88, 0xE0, 0xA5, 0x0A, 0x00, uint8_t(r >> 8)};
                in.push_back(pick[r % 7]);
            } else {
                in.push_back(uint8_t(r));
            }
        }
        LLVMFuzzerTestOneInput(in.data(), in.size());
    }
    std::printf("poll fuzz: %d inputs, no failure\n", runs);
    return 0;
}
