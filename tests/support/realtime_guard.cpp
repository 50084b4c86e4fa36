#include "realtime_guard.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace fw::test {
namespace {

thread_local int tScopeDepth = 0;
std::atomic<int> gViolations{0};
std::atomic<const char*> gFirst{nullptr};

void Note(const char* what) noexcept {
  if (tScopeDepth == 0) return;
  gViolations.fetch_add(1, std::memory_order_relaxed);
  const char* expected = nullptr;
  gFirst.compare_exchange_strong(expected, what);
}

}  // namespace

RealtimeScope::RealtimeScope() { ++tScopeDepth; }
RealtimeScope::~RealtimeScope() { --tScopeDepth; }
int RealtimeViolations() { return gViolations.load(); }
std::string FirstRealtimeViolation() {
  const char* first = gFirst.load();
  return first == nullptr ? std::string{} : std::string(first);
}
void ResetRealtimeViolations() {
  gViolations.store(0);
  gFirst.store(nullptr);
}

#ifdef FRETWERK_SANITIZED
bool WatchesCAllocator() { return false; }
#else
bool WatchesCAllocator() { return true; }
#endif

}  // namespace fw::test

using fw::test::Note;

// operator new and delete, every form.
void* operator new(std::size_t size) {
  Note("operator new");
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  Note("operator new[]");
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  Note("operator new");
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  Note("operator new[]");
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size, std::align_val_t align) {
  Note("operator new");
  if (void* p = std::aligned_alloc(static_cast<std::size_t>(align),
                                   (size + static_cast<std::size_t>(align) - 1) & ~(static_cast<std::size_t>(align) - 1)))
    return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void operator delete(void* p) noexcept {
  if (p != nullptr) Note("operator delete");
  std::free(p);
}
void operator delete[](void* p) noexcept {
  if (p != nullptr) Note("operator delete[]");
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete[](p); }
void operator delete(void* p, std::align_val_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::align_val_t) noexcept { operator delete[](p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { operator delete[](p); }

#ifndef FRETWERK_SANITIZED
// The C allocator, through glibc's own entry points so no dlsym is needed.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t size) {
  Note("malloc");
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  Note("calloc");
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) {
  Note("realloc");
  return __libc_realloc(p, size);
}
void free(void* p) {
  if (p != nullptr) Note("free");
  __libc_free(p);
}

using MutexFn = int (*)(pthread_mutex_t*);
int pthread_mutex_lock(pthread_mutex_t* mutex) {
  static MutexFn real = reinterpret_cast<MutexFn>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  Note("pthread_mutex_lock");
  return real(mutex);
}
}
#endif
