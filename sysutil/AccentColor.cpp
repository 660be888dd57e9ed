#include "sysutil/AccentColor.h"

#include "sysutil/ColorUtils.h"
#include "sysutil/Handles.h"

#include <optional>
#include <utility>

namespace {

constexpr TColor CustomAccentColor = 0xC57517;
constexpr TColor NoAccentColor = 0xD47800;
constexpr uint64_t ReadIntervalSeconds = 30;

struct TAccentCache {
    TColor Accent = DefaultAccentColor;
    TColor AdjustedAccent = DefaultAccentColor;
    std::optional<uint64_t> LastReadMs;
    bool AlwaysRead = false;
    std::function<void()> ChangeNotify;
};

TAccentCache& Cache() {
    static TAccentCache cache;
    return cache;
}

// Pulls a colour into the luminance band 110..155 so that it reads well on light and dark.
TColor AdjustAccent(TColor Accent) {
    const int luminance = GetColorLuminance(Accent);
    if (luminance < 110) {
        return ChangeColorLight(Accent, 110 - luminance);
    }
    if (luminance > 155) {
        return ChangeColorLight(Accent, 155 - luminance);
    }
    return Accent;
}

void ReadCache(TAccentCache& cache, uint64_t NowMs) {
    cache.LastReadMs = NowMs;
    cache.Accent = ReadSystemAccentColor();
    cache.AdjustedAccent = AdjustAccent(cache.Accent);
    if (cache.ChangeNotify) {
        cache.ChangeNotify();
    }
}

bool NeedsRead(const TAccentCache& cache, uint64_t NowMs) {
    // A moment before the last read (a caller with its own clock) counts as no time passed.
    return cache.AlwaysRead || !cache.LastReadMs ||
           (NowMs > *cache.LastReadMs && (NowMs - *cache.LastReadMs) / 1000 > ReadIntervalSeconds);
}

} // namespace

TColor ReadSystemAccentColor() {
    TUniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\DWM", 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
        return DefaultAccentColor;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.get(), L"AccentColor", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return DefaultAccentColor;
    }
    // The stored form is 0xFFBBGGRR; the remainder drops that top byte and leaves any other
    // value as it is.
    return static_cast<TColor>(value % 0xFF000000u);
}

TColor GetAccentColor(CAccentColor Kind) {
    return GetAccentColorAt(Kind, GetTickCount64());
}

TColor GetAccentColorAt(CAccentColor Kind, uint64_t NowMs) {
    TAccentCache& cache = Cache();
    if (NeedsRead(cache, NowMs)) {
        ReadCache(cache, NowMs);
    }
    switch (Kind) {
    case CAccentColor::Accent:
        return cache.Accent;
    case CAccentColor::AccentAdjust:
        return cache.AdjustedAccent;
    case CAccentColor::AccentCustom:
        return CustomAccentColor;
    case CAccentColor::None:
        break;
    }
    return NoAccentColor;
}

void SetAccentColorAlwaysRead(bool AlwaysRead) {
    Cache().AlwaysRead = AlwaysRead;
}

std::function<void()> SetAccentColorChangeNotify(std::function<void()> Notify) {
    return std::exchange(Cache().ChangeNotify, std::move(Notify));
}
