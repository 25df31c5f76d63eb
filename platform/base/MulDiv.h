// Scaling of 32-bit integers through a 64-bit product, with the rounding that
// coordinate mapping everywhere in the system relies on.
#pragma once

#include <cstdint>

// (a * b) / c rounded half away from zero; -1 when c is 0 or the result does not
// fit in 32 bits.
constexpr int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const std::uint64_t num = product < 0 ? static_cast<std::uint64_t>(-product) : static_cast<std::uint64_t>(product);
  const std::uint64_t den = c < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(c)) : static_cast<std::uint64_t>(c);
  const std::uint64_t q = (num + den / 2) / den;
  if (q > static_cast<std::uint64_t>(INT32_MAX) + (negative ? 1u : 0u)) return -1;
  return negative ? static_cast<int>(-static_cast<std::int64_t>(q)) : static_cast<int>(q);
}

// Clamps a floating-point value into the int range before converting, so that
// values read from files (NaN, huge numbers) never make the conversion undefined.
constexpr int ClampToInt(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int>(v);
}
