#include "platform/sanitizer_support.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define TINTFALL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TINTFALL_ASAN 1
#endif
#endif

#ifdef TINTFALL_ASAN
// libX11 keeps a few small allocations (input context, visual info) until the process ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libX11.so\n";
}
#endif

namespace platform {

#ifdef TINTFALL_ASAN
namespace {

int pinDriver(dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr) {
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

}  // namespace

void keepGlDriverLoaded() {
    dl_iterate_phdr(&pinDriver, nullptr);
}
#else
void keepGlDriverLoaded() {}
#endif

}  // namespace platform
