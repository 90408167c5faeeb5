#include "song/Allocator.h"

#include <malloc.h>

namespace quaverly {

void KeepFreedMemoryForReuse() {
#ifdef M_TRIM_THRESHOLD
  constexpr int kRetained = 64 << 20;
  // Large event vectors would otherwise be mapped and unmapped one by one.
  mallopt(M_MMAP_THRESHOLD, kRetained);
  mallopt(M_TRIM_THRESHOLD, kRetained);
#endif
}

}  // namespace quaverly
