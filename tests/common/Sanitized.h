#pragma once

// Under AddressSanitizer every frame costs several times more. Long matrices of
// pixel tests then run the rows that reach different code; the plain build,
// which runs every row, judges the rest.
namespace Sanitized {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool Active = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Active = true;
#else
constexpr bool Active = false;
#endif
#else
constexpr bool Active = false;
#endif
} // namespace Sanitized
