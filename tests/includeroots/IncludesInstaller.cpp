// Compiled only by the include-root tests, which expect it to fail.
#include <installer/install/Product.h>
