#include "channels/LargeStack.h"

#include <pthread.h>

namespace vantrel::channels::detail {
namespace {

void* Trampoline(void* arg) {
  (*static_cast<const std::function<void()>*>(arg))();
  return nullptr;
}

}  // namespace

bool RunWithLargeStack(const std::function<void()>& function, std::size_t stackBytes) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  bool ok = pthread_attr_setstacksize(&attr, stackBytes) == 0;
  pthread_t thread;
  if (ok) {
    ok = pthread_create(&thread, &attr, &Trampoline, const_cast<std::function<void()>*>(&function)) == 0;
  }
  pthread_attr_destroy(&attr);
  if (!ok) return false;
  pthread_join(thread, nullptr);
  return true;
}

}  // namespace vantrel::channels::detail
