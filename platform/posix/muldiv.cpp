// KERNEL32's MulDiv: scaling with a 64-bit intermediate, as font sizes in
// points become pixels.
#include "platform/platform.h"

#include <cstdint>
#include <cstdlib>

int WINAPI MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    long long product = (long long)number * numerator;
    long long divisor = std::llabs((long long)denominator);
    long long quotient = (std::llabs(product) + divisor / 2) / divisor;
    long long result = (product < 0) != (denominator < 0) ? -quotient : quotient;
    return result > INT32_MAX || result < INT32_MIN ? -1 : int(result);
}
