#pragma once

namespace veltrano {

// The USB identity of the logger's USB-serial chip as the system reports it: the manufacturer,
// and the product description "QLO01" followed by exactly 20 blanks. Compared byte for byte.
inline constexpr char kLoggerManufacturer[] = "Microchip Technology, Inc.";
inline constexpr char kLoggerProduct[] = "QLO01                    ";
static_assert(sizeof(kLoggerProduct) == 5 + 20 + 1);

} // namespace veltrano
