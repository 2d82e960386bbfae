#include "save/lzss.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace avg {
namespace {

using lzss::kMaxMatch;
using lzss::kMinMatch;
using lzss::kRingSize;
using lzss::kStartPosition;

constexpr size_t kRingMask = kRingSize - 1;
// Farthest reference the encoder makes, as the classic encoder does: the ring minus the
// look-ahead.
constexpr size_t kMaxDistance = kRingSize - kMaxMatch;
constexpr int kHashBits = 14;
constexpr int kMaxChain = 32;
// A match this long is good enough that a quarter of the chain is searched for a longer one.
constexpr size_t kGoodMatch = 8;
// Zero bytes after the input, so that matches are compared eight bytes at a time.
constexpr size_t kTailSlack = kMaxMatch + 8;

uint64_t load64(const uint8_t* p) {
  uint64_t value;
  std::memcpy(&value, p, 8);
  return value;
}

uint16_t load16(const uint8_t* p) {
  uint16_t value;
  std::memcpy(&value, p, 2);
  return value;
}

// How many bytes `here` and `there` share from the start, up to `limit`.
size_t sharedLength(const uint8_t* here, const uint8_t* there, size_t limit) {
  for (size_t length = 0; length < limit; length += 8) {
    uint64_t differing = load64(here + length) ^ load64(there + length);
    if (differing != 0) {
      length += static_cast<size_t>(__builtin_ctzll(differing)) / 8;
      return std::min(length, limit);
    }
  }
  return limit;
}

uint32_t load32(const uint8_t* p) {
  uint32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

uint32_t hashOf(uint32_t key) {
  return (key * 2654435761u) >> (32 - kHashBits);
}

uint32_t hash3(const uint8_t* p) {
  return hashOf(load32(p) & 0xFFFFFF);
}

uint32_t hash4(const uint8_t* p) {
  return hashOf(load32(p));
}

struct Match {
  size_t length = 0;
  size_t source = 0;  // position in the encoder's buffer
};

// Finds matches in `text`: the input preceded by kRingSize zero bytes, which stand for the
// zero-filled ring, and followed by kTailSlack zero bytes. Positions are inserted in order
// into hash chains over four bytes, and the latest position of each three-byte string is
// kept beside them: frequent three-byte strings then cost no chain walks, and a match of
// three bytes is taken from the nearest place, where it almost always is.
class MatchFinder {
 public:
  MatchFinder(const uint8_t* text, size_t end)
      : text_(text),
        end_(end),
        latest3_(size_t{1} << kHashBits, -1),
        head4_(size_t{1} << kHashBits, -1),
        previous4_(kRingSize, -1) {
    // The strings that start in the zeros and run into the input are the only distinct ones
    // there; every older zero position repeats the oldest of these.
    for (size_t p = kRingSize - kMaxMatch; p < kRingSize; ++p)
      insert(p);
  }

  // Positions near the end hash the zero tail with them; a match there is cut at the end.
  void insert(size_t position) {
    const uint32_t key = load32(text_ + position);
    latest3_[hashOf(key & 0xFFFFFF)] = static_cast<int32_t>(position);
    int32_t& head = head4_[hashOf(key)];
    previous4_[position & kRingMask] = head;
    head = static_cast<int32_t>(position);
  }

  // The longest match for `position` among the inserted positions if it is longer than
  // `atLeast` and than two bytes; else length 0.
  Match longest(size_t position, size_t atLeast) const {
    Match best;
    const size_t maxLength = std::min(kMaxMatch, end_ - position);
    const size_t shortest = std::max(atLeast, kMinMatch - 1);
    if (shortest >= maxLength) return best;
    best.length = shortest;
    const uint8_t* here = text_ + position;
    const int64_t floor = static_cast<int64_t>(position) - static_cast<int64_t>(kMaxDistance);
    int64_t candidate = head4_[hash4(here)];
    int chainLeft = atLeast >= kGoodMatch ? kMaxChain / 4 : kMaxChain;
    for (; chainLeft > 0 && candidate >= floor && candidate >= 0; --chainLeft) {
      consider(here, candidate, maxLength, best);
      if (best.length == maxLength) break;
      int64_t next = previous4_[candidate & kRingMask];
      if (next >= candidate) break;
      candidate = next;
    }
    if (best.length < kMinMatch + 1) {
      int64_t nearest3 = latest3_[hash3(here)];
      if (nearest3 >= floor && nearest3 >= 0) consider(here, nearest3, maxLength, best);
    }
    if (best.length == shortest) best.length = 0;
    return best;
  }

 private:
  // Takes the match at `candidate` when it is longer than the best so far.
  void consider(const uint8_t* here, int64_t candidate, size_t maxLength, Match& best) const {
    const uint8_t* there = text_ + candidate;
    // A longer match agrees on the two bytes that end the best one so far, and on the first.
    if (load16(there + best.length - 1) != load16(here + best.length - 1) || there[0] != here[0])
      return;
    size_t length = sharedLength(here, there, maxLength);
    if (length > best.length) best = {length, static_cast<size_t>(candidate)};
  }

  const uint8_t* text_;
  size_t end_;
  std::vector<int32_t> latest3_;
  std::vector<int32_t> head4_;
  std::vector<int32_t> previous4_;
};

constexpr size_t kGroupSize = 17;

// Writes groups of a flag byte and eight items into a buffer that ends at a limit.
class GroupWriter {
 public:
  // `capacity` bounds what the caller writes before checking full(): at most one group.
  GroupWriter(size_t limit, size_t capacity)
      : out_(std::min(limit, capacity) + kGroupSize, '\0'), limit_(limit) {}

  void literal(uint8_t byte) {
    startItem();
    out_[flagAt_] = static_cast<char>(out_[flagAt_] | 1 << items_++);
    out_[size_++] = static_cast<char>(byte);
  }

  void reference(size_t ringPosition, size_t length) {
    startItem();
    ++items_;
    out_[size_++] = static_cast<char>(ringPosition & 0xFF);
    out_[size_++] = static_cast<char>((ringPosition >> 4 & 0xF0) | (length - kMinMatch));
  }

  bool full() const { return size_ >= limit_; }
  std::string take() {
    out_.resize(size_);
    return std::move(out_);
  }

 private:
  void startItem() {
    if (items_ < 8) return;
    flagAt_ = size_++;
    out_[flagAt_] = 0;
    items_ = 0;
  }

  std::string out_;
  size_t limit_;
  size_t size_ = 0;
  size_t flagAt_ = 0;
  int items_ = 8;
};

// Eight literals of a group whose flag byte is all ones.
void copyLiterals(uint8_t* out, const uint8_t* in, uint8_t mask) {
  uint64_t bytes;
  std::memcpy(&bytes, in, 8);
  bytes ^= mask * 0x0101010101010101ull;
  std::memcpy(out, &bytes, 8);
}

}  // namespace

std::optional<std::string> lzssCompress(std::string_view input, size_t limit) {
  std::vector<uint8_t> text(kRingSize + input.size() + kTailSlack);
  std::memcpy(text.data() + kRingSize, input.data(), input.size());
  const size_t end = kRingSize + input.size();
  MatchFinder finder(text.data(), end);
  // All literals: one flag byte per eight input bytes.
  GroupWriter writer(limit, input.size() + input.size() / 8 + 1);
  size_t position = kRingSize;
  Match match = finder.longest(position, 0);
  while (position < end) {
    finder.insert(position);
    // One step of lazy evaluation: a longer match at the next byte wins over this one.
    Match next = match.length ? finder.longest(position + 1, match.length) : Match{};
    if (next.length > match.length) {
      writer.literal(text[position]);
      ++position;
      match = next;
    } else if (match.length >= kMinMatch) {
      writer.reference((match.source + kStartPosition) & kRingMask, match.length);
      for (size_t p = position + 1; p < position + match.length; ++p)
        finder.insert(p);
      position += match.length;
      match = position < end ? finder.longest(position, 0) : Match{};
    } else {
      writer.literal(text[position]);
      ++position;
      match = position < end ? finder.longest(position, 0) : Match{};
    }
    if (writer.full()) return std::nullopt;
  }
  return writer.take();
}

std::optional<std::string> lzssDecompress(std::string_view stream, size_t size, uint8_t mask) {
  if (size > stream.size() * lzss::kMaxExpansion) return std::nullopt;
  // Slack after the content lets references copy a whole maximal match at once.
  std::string out(size + kMaxMatch, '\0');
  uint8_t* o = reinterpret_cast<uint8_t*>(out.data());
  const uint8_t* in = reinterpret_cast<const uint8_t*>(stream.data());
  const size_t inEnd = stream.size();
  size_t ip = 0;
  size_t n = 0;
  while (n < size) {
    if (ip >= inEnd) return std::nullopt;
    unsigned flags = in[ip++] ^ mask;
    if (flags == 0xFF && ip + 8 <= inEnd && n + 8 <= size) {
      copyLiterals(o + n, in + ip, mask);
      ip += 8;
      n += 8;
      continue;
    }
    for (int item = 0; item < 8 && n < size; ++item, flags >>= 1) {
      if (flags & 1) {
        if (ip >= inEnd) return std::nullopt;
        o[n++] = in[ip++] ^ mask;
        continue;
      }
      if (ip + 2 > inEnd) return std::nullopt;
      unsigned b0 = in[ip] ^ mask;
      unsigned b1 = in[ip + 1] ^ mask;
      ip += 2;
      size_t ringPosition = b0 | (b1 & 0xF0) << 4;
      size_t length = std::min<size_t>((b1 & 0x0F) + kMinMatch, size - n);
      // Bytes back from the current output; the ring position being written counts as the
      // oldest byte, 4096 back.
      size_t distance = ((n + kStartPosition - ringPosition - 1) & kRingMask) + 1;
      if (distance > n) {
        // Reaches into the ring's initial zeros (and maybe on into the output).
        for (size_t k = 0; k < length; ++k, ++n)
          o[n] = n >= distance ? o[n - distance] : 0;
      } else if (distance >= kMaxMatch) {
        std::memcpy(o + n, o + n - distance, kMaxMatch);
        n += length;
      } else {
        for (size_t k = 0; k < length; ++k, ++n)
          o[n] = o[n - distance];
      }
    }
  }
  out.resize(size);
  return out;
}

}  // namespace avg
