#pragma once
// Pieces both fuzz entries share: the driver's trace lines kept quiet, and,
// under AddressSanitizer, the live heap reported every KV_FUZZ_HEAP_EVERY
// inputs (environment), so a long run shows whether memory stays in use.
#include <QtGlobal>
#include <QString>

#include <cstdio>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_FUZZ_ASAN 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define KV_FUZZ_ASAN 1
#endif
#ifdef KV_FUZZ_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace kvfuzz {

// Once per input, first thing.
inline void NoteInput()
{
    // The driver's trace lines (one per streaming restart) would drown the run.
    static const bool quiet = [] {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        return true;
    }();
    (void)quiet;
#ifdef KV_FUZZ_ASAN
    static const long every = [] {
        const char *e = std::getenv("KV_FUZZ_HEAP_EVERY");
        return e ? std::atol(e) : 0L;
    }();
    static long inputs = 0;
    if (every > 0 && ++inputs % every == 0)
        std::fprintf(stderr, "heap: %ld inputs, %zu bytes live, %zu bytes mapped by the allocator\n", inputs,
                     __sanitizer_get_current_allocated_bytes(), __sanitizer_get_heap_size());
#endif
}

} // namespace kvfuzz
