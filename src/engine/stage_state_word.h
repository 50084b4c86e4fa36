#pragma once
// Stage state that the audio side advances every block but the window thread may
// also set (a reset, a rewind, a new sweep speed). The audio side reads such a word
// at the start of a block and writes its advanced value back at the end, unless the
// window thread wrote the word in between: then the window's value stands and takes
// effect from the next block, instead of being overwritten by the block's result.
// The check and the store are one compare-and-exchange, so a window write that lands
// between them is never lost.
#include "core/word.h"

namespace fw {

template <class T>
inline void StoreUnlessRewritten(Word<T>& word, T atBlockStart, T advanced) noexcept {
  word.compare_exchange(atBlockStart, advanced);
}

}  // namespace fw
