#pragma once

// Finding line ends fast in loaded bytes. The rules are the data files': CR LF, LF CR, a lone
// CR and a lone LF each end one line.

#include <cstddef>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvo {

// The first CR, LF or NUL at or after `from`, or `end`.
inline const char* FindLineStop(const char* from, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i nul = _mm_setzero_si128();
  while (end - from >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)), _mm_cmpeq_epi8(bytes, nul));
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return from + __builtin_ctz(static_cast<unsigned>(mask));
    from += 16;
  }
#endif
  while (from < end && *from != '\r' && *from != '\n' && *from != '\0') ++from;
  return from;
}

// Past the line end at `stop` (one of CR or LF, with its partner when it follows).
inline const char* SkipLineEnd(const char* stop, const char* end) {
  if (stop >= end) return stop;
  const char ended = *stop++;
  const char partner = ended == '\n' ? '\r' : '\n';
  if (stop < end && *stop == partner) ++stop;
  return stop;
}

// Takes the line that starts at `position` in [base, base + size): a view into the bytes, or
// into `scratch` when the line held NUL bytes (they are dropped). `counted` receives the
// characters of the line, NULs included; `position` moves past the line end.
inline std::string_view TakeLine(const char* base, std::size_t size, std::size_t& position,
                                 std::string& scratch, std::size_t& counted) {
  const char* end = base + size;
  const char* start = base + position;
  const char* stop = FindLineStop(start, end);
  std::string_view line;
  if (stop < end && *stop == '\0') {
    scratch.assign(start, stop);
    const char* at = stop;
    while (at < end && *at != '\r' && *at != '\n') {
      if (*at != '\0') scratch.push_back(*at);
      ++at;
    }
    counted = static_cast<std::size_t>(at - start);
    line = scratch;
    stop = at;
  } else {
    counted = static_cast<std::size_t>(stop - start);
    line = std::string_view(start, counted);
  }
  position = static_cast<std::size_t>(SkipLineEnd(stop, end) - base);
  return line;
}

}  // namespace tarvo
