// Throughput of the blend family on a full 640 × 480 frame, scalar and SIMD, against memcpy
// of the same frame and pixman's OVER (a8r8g8b8 onto x8r8g8b8, every pixel semi-transparent).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/surface.h"
#include "graphics/blit.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr double kPixels = double{kWidth} * kHeight;
constexpr auto kRunTime = std::chrono::milliseconds(300);
constexpr int kRuns = 3;

// Frames per second of `frame`, best of several timed runs, as megapixels per second.
double megapixelsPerSecond(const std::function<void()>& frame) {
  double best = 0;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    auto elapsed = start - start;
    int64_t frames = 0;
    for (; elapsed < kRunTime; ++frames) {
      frame();
      benchmark::ClobberMemory();
      elapsed = std::chrono::steady_clock::now() - start;
    }
    double seconds = std::chrono::duration<double>(elapsed).count();
    best = std::max(best, frames * kPixels / seconds / 1e6);
  }
  return best;
}

// Colours random, alpha bytes semi-transparent (1–254).
avg::Surface randomFrame(std::mt19937& random) {
  avg::Surface frame;
  frame.create(kWidth, kHeight);
  std::uniform_int_distribution<uint32_t> colour(0, 0xFFFFFF);
  std::uniform_int_distribution<uint32_t> alpha(1, 254);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x)
      frame.row(y)[x] = alpha(random) << 24 | colour(random);
  }
  return frame;
}

struct Result {
  std::string name;
  double value;
};

double pixmanOver(const avg::Surface& source, avg::Surface& target) {
  // pixman wants premultiplied colours: scale each channel by the pixel's alpha.
  std::vector<uint32_t> premultiplied(static_cast<size_t>(kWidth) * kHeight);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      uint32_t pixel = source.row(y)[x];
      uint32_t alpha = pixel >> 24;
      uint32_t out = alpha << 24;
      for (int shift = 0; shift < 24; shift += 8) {
        out |= (((pixel >> shift) & 0xFF) * alpha / 255) << shift;
      }
      premultiplied[static_cast<size_t>(y) * kWidth + x] = out;
    }
  }
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, premultiplied.data(), kWidth * 4);
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, target.row(0), target.pitch());
  double value = megapixelsPerSecond([&] {
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  });
  pixman_image_unref(src);
  pixman_image_unref(dst);
  return value;
}

}  // namespace

int main() {
  std::mt19937 random(1);
  avg::Surface source = randomFrame(random);
  avg::Surface target = randomFrame(random);
  source.setColorKey(source.pixel(0, 0));
  const avg::BlendKernels& simd = avg::selectedBlendKernels();
  struct NamedBlend {
    const char* name;
    avg::Blend blend;
  };
  const NamedBlend blends[] = {
      {"copy", avg::Blend::copy()},
      {"const_alpha", avg::Blend::constAlpha(avg::uniformRates(128), avg::uniformRates(127))},
      {"add", avg::Blend::add()},
      {"add_key", avg::Blend::addKeyed()},
      {"alpha", avg::Blend::alpha(avg::uniformRates(255), avg::uniformRates(0))},
  };
  std::vector<Result> results;
  for (const NamedBlend& named : blends) {
    for (const avg::BlendKernels* kernels : {&avg::scalarBlendKernels(), &simd}) {
      double value =
          megapixelsPerSecond([&] { avg::blitWith(*kernels, target, source, 0, 0, named.blend); });
      bool scalar = kernels == &avg::scalarBlendKernels();
      results.push_back({std::string(named.name) + (scalar ? ".scalar" : ".simd"), value});
    }
  }
  std::vector<uint32_t> copy(static_cast<size_t>(kWidth) * kHeight);
  results.push_back({"memcpy", megapixelsPerSecond([&] {
                       std::memcpy(copy.data(), source.row(0), copy.size() * sizeof(uint32_t));
                     })});
  results.push_back({"pixman_over", pixmanOver(source, target)});

  std::printf("640x480 frames, SIMD = %s, pixman %s\n", simd.name, pixman_version_string());
  for (const Result& result : results) {
    std::printf("%-20s %10.1f Mpix/s\n", result.name.c_str(), result.value);
  }
  for (const Result& result : results) {
    std::printf("RESULT %s %.1f Mpix/s\n", result.name.c_str(), result.value);
  }
  return 0;
}
