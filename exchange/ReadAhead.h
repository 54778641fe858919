#pragma once
// Reads a Meal-Master file on a thread of its own while the calling thread stores what was read:
// reading, decoding and splitting the text overlap with the database writes. Everything the
// reader hands its sink travels through a bounded queue and reaches the real sink on the calling
// thread, in the reader's order, so the sink (and every question or message it shows) never runs
// on the reading thread; the queue bounds the memory the reading thread can run ahead with.

#include "exchange/MMImport.h"

namespace pf {

// Reads file with reader into target and returns the reader's count, as reader.ReadFile does.
// The reader runs on a second thread and must not touch anything target changes; the target's
// methods run on this thread. When the target says it is cancelled, the reader stops at its next
// recipe and what it read ahead is dropped. At most `capacity` calls wait in the queue. An
// exception of the reader is thrown here once it has stopped.
long ReadAhead(MMImport& reader, const ImportText& file, MMImportSink& target, std::size_t capacity = 256);

} // namespace pf
