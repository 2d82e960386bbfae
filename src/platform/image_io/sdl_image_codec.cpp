#include "platform/image_io/sdl_image_codec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstring>

namespace avg {
namespace {

std::string upperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool copyPixels(SDL_Surface* argb, Surface& out) {
  if (!out.create(argb->w, argb->h)) return false;
  if (SDL_LockSurface(argb) != 0) return false;
  for (int32_t y = 0; y < argb->h; ++y) {
    std::memcpy(out.row(y), static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch,
                static_cast<size_t>(out.pitch()));
  }
  SDL_UnlockSurface(argb);
  return true;
}

// A write-only SDL stream that appends to `bytes`; closing it frees it.
SDL_RWops* appendingStream(std::string& bytes) {
  SDL_RWops* stream = SDL_AllocRW();
  if (!stream) return nullptr;
  stream->type = SDL_RWOPS_UNKNOWN;
  stream->hidden.unknown.data1 = &bytes;
  stream->size = [](SDL_RWops* self) -> Sint64 {
    return static_cast<Sint64>(static_cast<std::string*>(self->hidden.unknown.data1)->size());
  };
  stream->seek = [](SDL_RWops* self, Sint64 offset, int whence) -> Sint64 {
    // Only the position can be asked for: the end, where every write goes.
    if (offset != 0 || whence == RW_SEEK_SET) return -1;
    return static_cast<Sint64>(static_cast<std::string*>(self->hidden.unknown.data1)->size());
  };
  stream->read = [](SDL_RWops*, void*, size_t, size_t) -> size_t { return 0; };
  stream->write = [](SDL_RWops* self, const void* data, size_t size, size_t count) -> size_t {
    static_cast<std::string*>(self->hidden.unknown.data1)
        ->append(static_cast<const char*>(data), size * count);
    return count;
  };
  stream->close = [](SDL_RWops* self) -> int {
    SDL_FreeRW(self);
    return 0;
  };
  return stream;
}

class SdlImageCodec : public ImageCodec {
 public:
  bool decode(std::span<const uint8_t> bytes, std::string_view extension,
              Surface& out) const override {
    out.release();
    if (bytes.empty() || bytes.size() > INT_MAX) return false;
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream) return false;
    // The extension only matters for formats without a signature, such as TGA.
    SDL_Surface* decoded = IMG_LoadTyped_RW(stream, 1, upperCase(extension).c_str());
    if (!decoded) return false;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(decoded);
    if (!argb) return false;
    bool copied = copyPixels(argb, out);
    SDL_FreeSurface(argb);
    if (!copied) out.release();
    return copied;
  }

  std::optional<std::string> encodePng(const Surface& surface) const override {
    if (!surface.loaded()) return std::nullopt;
    SDL_Surface* rgb = SDL_CreateRGBSurfaceWithFormat(0, surface.width(), surface.height(), 24,
                                                      SDL_PIXELFORMAT_RGB24);
    if (!rgb) return std::nullopt;
    for (int32_t y = 0; y < surface.height(); ++y) {
      uint8_t* out = static_cast<uint8_t*>(rgb->pixels) + y * rgb->pitch;
      const uint32_t* row = surface.row(y);
      for (int32_t x = 0; x < surface.width(); ++x) {
        *out++ = static_cast<uint8_t>(row[x] >> 16);
        *out++ = static_cast<uint8_t>(row[x] >> 8);
        *out++ = static_cast<uint8_t>(row[x]);
      }
    }
    std::string bytes;
    bool written = IMG_SavePNG_RW(rgb, appendingStream(bytes), 1) == 0;
    SDL_FreeSurface(rgb);
    if (!written) return std::nullopt;
    return bytes;
  }
};

}  // namespace

std::unique_ptr<ImageCodec> makeSdlImageCodec() {
  return std::make_unique<SdlImageCodec>();
}

}  // namespace avg
