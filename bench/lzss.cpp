// LZSS throughput and ratio against the classic binary-tree coder of the same stream format,
// on script-like text, a 640x480 32-bit image and random data, or on the files given.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../tests/support/classic_lzss.h"
#include "save/lzss.h"

namespace {

struct DataSet {
  std::string name;
  std::string bytes;
};

std::string scriptText(size_t size) {
  std::mt19937 random(7);
  // Hiragana in Shift-JIS: lead byte 0x82, trail 0x9F..0xF1.
  auto kana = [&](int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += {'\x82', static_cast<char>(0x9F + random() % 83)};
    return text;
  };
  std::string text;
  while (text.size() < size) {
    switch (random() % 6) {
      case 0:
        text += "MESS,ADD_,%s__" + kana(4 + random() % 20) + "\r\n";
        break;
      case 1:
        text += "WAIT,%n__" + std::to_string(random() % 120) + "\r\n";
        break;
      case 2:
        text += "2D__,SET_,%s__chara" + std::to_string(random() % 9) + ",%f__" +
                std::to_string(random() % 640) + ".0,%f__" + std::to_string(random() % 480) +
                ".0\r\n";
        break;
      case 3:
        text += "CALN,+___,$n__count,$n__count,%n__1\r\n";
        break;
      case 4:
        text += "IF__,$n__flag" + std::to_string(random() % 50) + "\r\nGOTO,scene\r\n";
        break;
      default:
        text += "; " + kana(10) + "\r\n#label" + std::to_string(random() % 300) + "\r\n";
    }
  }
  text.resize(size);
  return text;
}

// Flat shapes over a gradient, as in a game's character or background picture.
std::string image() {
  const int width = 640, height = 480;
  std::string pixels(width * height * 4, '\0');
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t colour = 0xFF000000u | (y * 255 / height) << 16 | (x * 255 / width) << 8 | 0x40;
      int dx = x - 320, dy = y - 240;
      if (dx * dx + dy * dy < 150 * 150) colour = 0xFFF0D0C0u;
      if (std::abs(dx) < 60 && y > 300) colour = 0xFF3050A0u;
      if ((x / 40 + y / 40) % 7 == 0) colour = 0xFFFFFFFFu;
      for (int i = 0; i < 4; ++i)
        pixels[(y * width + x) * 4 + i] = static_cast<char>(colour >> (8 * i));
    }
  }
  return pixels;
}

std::string randomData(size_t size) {
  std::mt19937 random(3);
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(random());
  return bytes;
}

// Best megabytes per second of uncompressed data over repeated runs of about 0.3 s each.
double megabytesPerSecond(size_t bytes, const std::function<void()>& work) {
  double best = 0;
  for (int round = 0; round < 3; ++round) {
    auto start = std::chrono::steady_clock::now();
    int runs = 0;
    double seconds = 0;
    do {
      work();
      ++runs;
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (seconds < 0.3);
    best = std::max(best, bytes * runs / seconds / 1e6);
  }
  return best;
}

struct Figures {
  double encode, decode, ratio;
};

Figures measureOurs(const std::string& data) {
  std::string packed = *avg::lzssCompress(data, SIZE_MAX);
  if (avg::lzssDecompress(packed, data.size()) != data) std::fprintf(stderr, "round trip failed\n");
  return {megabytesPerSecond(data.size(), [&] { avg::lzssCompress(data, SIZE_MAX); }),
          megabytesPerSecond(data.size(), [&] { avg::lzssDecompress(packed, data.size()); }),
          double(data.size()) / std::max<size_t>(packed.size(), 1)};
}

Figures measureClassic(const std::string& data) {
  avg::classic::LzssCoder coder;
  std::string packed = coder.encode(data);
  return {megabytesPerSecond(data.size(), [&] { coder.encode(data); }),
          megabytesPerSecond(data.size(),
                             [&] { avg::classic::LzssCoder::decode(packed, data.size()); }),
          double(data.size()) / std::max<size_t>(packed.size(), 1)};
}

std::vector<DataSet> dataSets(int argc, char** argv) {
  std::vector<DataSet> sets;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    sets.push_back({std::filesystem::path(argv[i]).stem().string(),
                    std::string(std::istreambuf_iterator<char>(in), {})});
  }
  if (sets.empty()) {
    sets = {
        {"script", scriptText(4'000'000)}, {"image", image()}, {"random", randomData(1'000'000)}};
  }
  return sets;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<DataSet> sets = dataSets(argc, argv);
  std::vector<std::pair<std::string, Figures>> results;
  for (const DataSet& set : sets) {
    Figures ours = measureOurs(set.bytes);
    Figures classic = measureClassic(set.bytes);
    std::printf(
        "%-10s %9zu bytes  encode %8.2f MB/s (classic %8.2f)  decode %8.2f MB/s (classic %8.2f)"
        "  ratio %.4f x (classic %.4f)\n",
        set.name.c_str(), set.bytes.size(), ours.encode, classic.encode, ours.decode,
        classic.decode, ours.ratio, classic.ratio);
    results.emplace_back(set.name, ours);
  }
  for (const auto& [name, figures] : results) {
    std::printf("RESULT %s.encode %.2f MB/s\n", name.c_str(), figures.encode);
    std::printf("RESULT %s.decode %.2f MB/s\n", name.c_str(), figures.decode);
    std::printf("RESULT %s.ratio %.4f x\n", name.c_str(), figures.ratio);
  }
}
