#include "graphics/blend_kernels.h"

#include <initializer_list>

namespace avg {

const BlendKernels* blendKernelsFor(BlendIsa isa) {
  switch (isa) {
    case BlendIsa::Scalar:
      return &scalarBlendKernels();
#if defined(__x86_64__)
    case BlendIsa::Sse2:
      return &sse2BlendKernels();
    case BlendIsa::Avx2:
      return __builtin_cpu_supports("avx2") ? &avx2BlendKernels() : nullptr;
#endif
    default:
      return nullptr;
  }
}

const BlendKernels& selectedBlendKernels() {
  static const BlendKernels& selected = []() -> const BlendKernels& {
    for (BlendIsa isa : {BlendIsa::Avx2, BlendIsa::Sse2}) {
      if (const BlendKernels* kernels = blendKernelsFor(isa)) return *kernels;
    }
    return scalarBlendKernels();
  }();
  return selected;
}

}  // namespace avg
