#pragma once
// The classic LZSS coder of this stream format (1989 public-domain design): a 4096-byte
// ring, look-ahead of 18, matches above 2 bytes, binary search trees over the ring for
// match finding, one flag byte per eight items with bit 1 for a literal. The ring starts
// filled with zero bytes. Used as the reference peer by the tests and the benchmark.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace avg::classic {

class LzssCoder {
 public:
  static constexpr int N = 4096;
  static constexpr int F = 18;
  static constexpr int kThreshold = 2;
  static constexpr int NIL = N;

  std::string encode(std::string_view input) {
    std::string out;
    initTrees();
    text_.assign(N + F - 1, 0);
    uint8_t code[17] = {0};
    int codePtr = 1;
    uint8_t mask = 1;
    int s = 0;
    int r = N - F;
    size_t in = 0;
    int len = 0;
    for (; len < F && in < input.size(); ++len)
      text_[r + len] = uint8_t(input[in++]);
    if (len == 0) return out;
    for (int i = 1; i <= F; ++i)
      insertNode(r - i);
    insertNode(r);
    do {
      if (matchLength_ > len) matchLength_ = len;
      if (matchLength_ <= kThreshold) {
        matchLength_ = 1;
        code[0] |= mask;
        code[codePtr++] = text_[r];
      } else {
        code[codePtr++] = uint8_t(matchPosition_);
        code[codePtr++] =
            uint8_t(((matchPosition_ >> 4) & 0xF0) | (matchLength_ - (kThreshold + 1)));
      }
      if ((mask <<= 1) == 0) {
        out.append(reinterpret_cast<char*>(code), codePtr);
        code[0] = 0;
        codePtr = 1;
        mask = 1;
      }
      int lastMatchLength = matchLength_;
      int i = 0;
      for (; i < lastMatchLength && in < input.size(); ++i) {
        uint8_t c = uint8_t(input[in++]);
        deleteNode(s);
        text_[s] = c;
        if (s < F - 1) text_[s + N] = c;
        s = (s + 1) & (N - 1);
        r = (r + 1) & (N - 1);
        insertNode(r);
      }
      while (i++ < lastMatchLength) {
        deleteNode(s);
        s = (s + 1) & (N - 1);
        r = (r + 1) & (N - 1);
        if (--len) insertNode(r);
      }
    } while (len > 0);
    if (codePtr > 1) out.append(reinterpret_cast<char*>(code), codePtr);
    return out;
  }

  static std::string decode(std::string_view stream, size_t size) {
    std::vector<uint8_t> ring(N, 0);
    std::string out;
    out.reserve(size);
    int r = N - F;
    unsigned flags = 0;
    size_t in = 0;
    auto next = [&](int& c) {
      if (in >= stream.size()) return false;
      c = uint8_t(stream[in++]);
      return true;
    };
    while (out.size() < size) {
      int c;
      if (((flags >>= 1) & 256) == 0) {
        if (!next(c)) break;
        flags = c | 0xFF00;
      }
      if (flags & 1) {
        if (!next(c)) break;
        out += char(c);
        ring[r++] = uint8_t(c);
        r &= N - 1;
      } else {
        int i, j;
        if (!next(i) || !next(j)) break;
        i |= (j & 0xF0) << 4;
        j = (j & 0x0F) + kThreshold;
        for (int k = 0; k <= j && out.size() < size; ++k) {
          c = ring[(i + k) & (N - 1)];
          out += char(c);
          ring[r++] = uint8_t(c);
          r &= N - 1;
        }
      }
    }
    return out;
  }

 private:
  void initTrees() {
    left_.assign(N + 1, NIL);
    right_.assign(N + 257, NIL);
    parent_.assign(N + 1, NIL);
  }

  // Inserts the string at r into the tree of its first byte and records the longest match.
  void insertNode(int r) {
    int cmp = 1;
    const uint8_t* key = &text_[r];
    int p = N + 1 + key[0];
    right_[r] = left_[r] = NIL;
    matchLength_ = 0;
    for (;;) {
      if (cmp >= 0) {
        if (right_[p] != NIL) {
          p = right_[p];
        } else {
          right_[p] = r;
          parent_[r] = p;
          return;
        }
      } else {
        if (left_[p] != NIL) {
          p = left_[p];
        } else {
          left_[p] = r;
          parent_[r] = p;
          return;
        }
      }
      int i = 1;
      for (; i < F; ++i) {
        if ((cmp = key[i] - text_[p + i]) != 0) break;
      }
      if (i > matchLength_) {
        matchPosition_ = p;
        if ((matchLength_ = i) >= F) break;
      }
    }
    parent_[r] = parent_[p];
    left_[r] = left_[p];
    right_[r] = right_[p];
    parent_[left_[p]] = r;
    parent_[right_[p]] = r;
    if (right_[parent_[p]] == p) {
      right_[parent_[p]] = r;
    } else {
      left_[parent_[p]] = r;
    }
    parent_[p] = NIL;
  }

  void deleteNode(int p) {
    if (parent_[p] == NIL) return;
    int q;
    if (right_[p] == NIL) {
      q = left_[p];
    } else if (left_[p] == NIL) {
      q = right_[p];
    } else {
      q = left_[p];
      if (right_[q] != NIL) {
        do {
          q = right_[q];
        } while (right_[q] != NIL);
        right_[parent_[q]] = left_[q];
        parent_[left_[q]] = parent_[q];
        left_[q] = left_[p];
        parent_[left_[p]] = q;
      }
      right_[q] = right_[p];
      parent_[right_[p]] = q;
    }
    parent_[q] = parent_[p];
    if (right_[parent_[p]] == p) {
      right_[parent_[p]] = q;
    } else {
      left_[parent_[p]] = q;
    }
    parent_[p] = NIL;
  }

  std::vector<uint8_t> text_;
  std::vector<int> left_, right_, parent_;
  int matchPosition_ = 0;
  int matchLength_ = 0;
};

}  // namespace avg::classic
